#include <gtest/gtest.h>

#include "golden.h"
#include "main_window_fakes.h"
#include "ui/profile_choice.h"
#include "support/text.h"

namespace {

void customize(main_window_rig& rig) {
  rig.model.command(IDC_MAIN_CHANGE_PROFILE, control_event::clicked, 0, false);
  rig.model.command(IDC_MAIN_PRESETS, control_event::confirmed, 3, false);
}

// A finished run with a report, in the scene with the screengrab button.
void finish_a_run(main_window_rig& rig) {
  rig.start_small_run();
  rig.complete_reads();
  ASSERT_EQ(rig.model.view(), view_done_graphs);
}

// "custom READS WRITES sequential|random" and "preset ITEM READS WRITES DURATION_MS".
TEST(profile_choice, configuration_and_preset_texts) {
  expect_table("ui/profile_texts.txt", [](const std::string& question) {
    const std::vector<std::string> w = words(question);
    const bool custom = w[0] == "custom";
    test_def d;
    d.read_tests = uint32_t(std::stoul(w[custom ? 1 : 2]));
    d.write_tests = uint32_t(std::stoul(w[custom ? 2 : 3]));
    d.sequential = w[3] == "sequential";
    if (custom) return to_utf8(custom_configuration_text(d));
    d.duration = uint32_t(std::stoul(w[4]));
    return to_utf8(preset_item_text(std::stoi(w[1]), d));
  });
}

// The drop-down closed with and without a choice (its close may come first), "Customize..." with
// what each dialog is shown of the custom entry, OK and Cancel in it, and the link during a run.
TEST(profile_choice, the_drop_down_and_the_profile_dialog) {
  main_window_rig rig;
  fake_window& w = rig.window;
  auto dialog_does = [&](std::function<bool(test_config_model&, quiet_dialog&)> act) {
    w.profile_dialog = [&rig, act](test_config_model& dialog) {
      const test_def& c = dialog.custom();
      rig.seen += "the dialog shows " + to_utf8(c.name) + ", sizes";
      for (uint64_t size : c.buffer_sizes) rig.seen += " " + std::to_string(size);
      rig.seen += ", counts";
      for (uint32_t count : c.buffer_counts) rig.seen += " " + std::to_string(count);
      rig.seen += "\n";
      quiet_dialog d;
      dialog.init(d);
      return act(dialog, d);
    };
  };
  rig.open();
  rig.model.command(IDC_MAIN_CHANGE_PROFILE, control_event::clicked, 0, false);
  rig.look("the list shown");
  rig.model.command(IDC_MAIN_PRESETS, control_event::closed_up, 0, false);
  rig.look("closed without a choice");
  rig.model.command(IDC_MAIN_CHANGE_PROFILE, control_event::clicked, 0, false);
  rig.model.command(IDC_MAIN_PRESETS, control_event::closed_up, 0, false);
  rig.model.command(IDC_MAIN_PRESETS, control_event::confirmed, 0, false);
  rig.look("closed, then Quick chosen");
  dialog_does([](test_config_model& dialog, quiet_dialog& d) {
    dialog.profile_chosen(d, 3);  // Extended
    return dialog.ok(d);
  });
  customize(rig);
  rig.look("Extended chosen in the dialog");
  customize(rig);  // shows the profile in use at the first, named "Custom"
  dialog_does([](test_config_model& dialog, quiet_dialog& d) {
    dialog.profile_chosen(d, 0);
    dialog.edit_changed(d, 1095, L"1");
    dialog.check_changed(d, 1082, false);  // no writes: Quick's 7 sizes in its two read modes
    dialog.check_changed(d, 1084, false);
    return dialog.ok(d);
  });
  customize(rig);
  rig.look("OK with Custom");
  dialog_does([](test_config_model&, quiet_dialog&) { return false; });
  customize(rig);
  rig.look("Cancel");
  customize(rig);  // the custom profile kept
  rig.press_start();
  rig.model.command(IDC_MAIN_CHANGE_PROFILE, control_event::clicked, 0, false);
  rig.look("the link during a run");
  expect_golden(rig.seen, "ui/main_window_profile_choice.txt");
}

// The help pages' addresses (the commands that open them are in main_window_runs.txt).
TEST(main_window_model_commands, web_page_urls) {
  EXPECT_EQ(web_page_url({L"localhost", false, 8080}, L"/app/homepage"), L"http://localhost:8080/app/homepage");
  EXPECT_EQ(web_page_url({L"h", true, 443}, L"/app/methodology"), L"https://h/app/methodology");
  EXPECT_EQ(web_page_url({L"h", true, 8443}, L"/x"), L"https://h:8443/x");
}

// Cancel in the confirmation; OK with "Don't ask again" ticked (a second press while it is pending
// is ignored); the capture with the version in the title and the serial masked, both put back; a
// capture that fails, told, and nothing shared.
TEST(main_window_model_commands, sharing_a_screenshot) {
  main_window_rig rig;
  fake_window& w = rig.window;
  finish_a_run(rig);
  auto look = [&](const std::string& moment) {
    rig.look(moment);
    for (size_t i = 0; i < w.captures.size(); ++i)
      rig.seen += "capture " + std::to_string(int(w.captures[i])) + " titled " + to_utf8(w.titles_during_capture[i]) +
                  ", volume " + to_utf8(w.volume_during_capture[i]) + "\n";
    rig.seen += "shared " + std::to_string(rig.env.screenshot_shares) + ", pending " +
                std::to_string(rig.model.pending_screengrab_command()) + "\n";
  };
  auto share = [&] { rig.model.command(ID_SCREENGRAB_SHARE_SCREENSHOT, control_event::clicked, 0, false); };
  w.box_answer = 2;
  share();
  look("cancelled");
  w.box_answer = 1;
  w.box_ticks = 0x1000;
  share();
  EXPECT_FALSE(rig.model.confirm_share_screenshot());
  share();
  look("confirmed");
  rig.model.timer(screenshot_timer.id);
  look("captured");
  EXPECT_EQ(rig.env.shared_images.window.substr(0, 2), "BM");
  EXPECT_EQ(rig.env.shared_images.read_graph.size(), 54u + 3 * 3 * 4);
  EXPECT_EQ(rig.env.shared_images.write_graph.size(), 54u + 4 * 4 * 4);
  EXPECT_EQ(rig.env.shared_report, rig.model.reports().last_report);
  EXPECT_EQ(rig.env.shared_scan_text, "scan log\n");
  rig.model.timer(screengrab_return_timer.id);
  look("button back");

  w.capture_fails_at = 1;
  w.captures.clear();
  w.titles_during_capture.clear();
  w.volume_during_capture.clear();
  share();
  rig.model.timer(screenshot_timer.id);
  look("capture failed");
  expect_golden(rig.seen, "ui/main_window_screenshot_share.txt");
}

TEST(main_window_model_commands, a_screenshot_timer_without_its_command_is_an_internal_error) {
  main_window_rig rig;
  finish_a_run(rig);
  EXPECT_DEATH(rig.model.timer(screenshot_timer.id), "main_window::make_screenshot");
}

}  // namespace
