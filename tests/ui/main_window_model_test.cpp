#include "ui/main_window_model.h"

#include <gtest/gtest.h>

#include "golden.h"
#include "main_window_fakes.h"

namespace {

// What the window shows at each moment of its opening and of a whole run, from the scan to OK.
TEST(main_window_model, opening_and_a_whole_run_from_start_to_ok) {
  main_window_rig rig;
  auto look = [&](const std::string& moment) { rig.look(moment); };
  rig.env.stack = two_local_drives();
  rig.model.init(10);
  look("opened");
  rig.model.timer(scan_poll_timer.id);
  look("still scanning");
  rig.env.scan_done = true;
  rig.model.timer(scan_poll_timer.id);
  look("scanned");
  EXPECT_EQ(rig.env.scan_version, "1.2.0.0");
  EXPECT_EQ(rig.model.scan_text(), "scan log\n");
  EXPECT_EQ(rig.model.graph(true).title(), L"Read speed");
  EXPECT_EQ(rig.model.graph(false).title(), L"Write speed");

  rig.choose_small_profile();
  rig.press_start();
  look("started");
  rig.tick();
  look("preparing");
  for (auto [done, total] : {std::pair<uint64_t, uint64_t>{5, 0}, {1, 3}, {3, 3}}) {
    rig.env.runner->on_init_progress(done, total);
    rig.tick();
    look("prepared " + std::to_string(done) + " of " + std::to_string(total));
  }
  rig.phase(true);
  EXPECT_EQ(rig.model.graph(true).planned(), 6u);
  for (int i = 0; i < 6; ++i) rig.test_done(true, 100e6 + i * 1e6);
  rig.tick();
  look("read");
  rig.phase(false);
  EXPECT_EQ(rig.model.graph(false).planned(), 4u);
  for (int i = 0; i < 4; ++i) rig.test_done(false, 50e6, i != 2);
  rig.tick();
  look("written");
  rig.end_run(true);
  rig.tick();
  // The best-rate block and the empty rows that bring it to the top of a 10-row page.
  look("finished");
  EXPECT_EQ(rig.model.results().rows().rows()[14].buffers, L"Best read rate:");
  ASSERT_EQ(rig.model.reports().shareable_reports.size(), 1u);
  EXPECT_NE(rig.model.reports().last_report.find("Write.tests.failed              1\r\n"), std::string::npos);
  rig.model.timer(focus_start_timer.id);
  look("focused");
  rig.press_start();  // OK
  look("ok");
  expect_golden(rig.seen, "ui/main_window_opening_and_run.txt");
}

TEST(main_window_model, start_during_the_scan_closes_the_program) {
  main_window_rig rig;
  rig.model.init(10);
  rig.press_start();
  EXPECT_EQ(rig.window.ended, 1);
  EXPECT_EQ(rig.model.phase(), window_phase::closed);
  EXPECT_EQ(rig.env.share_questions, 0);
  rig.env.scan_done = true;
  rig.model.timer(scan_poll_timer.id);  // a tick already queued finds the window closed
  EXPECT_EQ(rig.model.phase(), window_phase::closed);
}

// Cancel, Ctrl+Cancel, a cancel while the test file is prepared, a runner that fails on its own
// and a thread that cannot start, as the window shows them one after the other.
TEST(main_window_model, cancels_and_failed_runs) {
  main_window_rig rig;
  const auto& reports = rig.model.reports();
  rig.start_small_run();
  rig.phase(true);
  rig.test_done(true, 90e6);
  rig.press_start();  // Cancel without Ctrl: the reads end, the writes run
  rig.look("cancel");
  EXPECT_FALSE(rig.env.runner->on_test_done(test_run()));
  rig.window.timers.erase(focus_start_timer.id);
  rig.phase(false);
  rig.look("the writes begin");
  for (int i = 0; i < 4; ++i) rig.test_done(false, 10e6);
  rig.end_run(true);
  rig.tick();
  rig.look("completed");
  EXPECT_EQ(rig.model.results().read_results().size(), 2u);
  EXPECT_EQ(reports.shareable_reports.size(), 1u) << "every write ran";
  const std::string completed = reports.last_report;

  rig.press_start();  // OK
  rig.press_start();
  rig.phase(true);
  rig.test_done(true, 90e6);
  rig.press_start(true);  // Ctrl+Cancel: the whole run ends, the button is not given back
  EXPECT_FALSE(rig.env.runner->on_phase(false));
  rig.window.deliver(rig.model);
  rig.look("ctrl+cancel");
  rig.end_run(false);
  rig.tick();
  rig.look("cancelled");
  EXPECT_NE(reports.last_report, completed);
  EXPECT_EQ(reports.shareable_reports.size(), 1u);

  // During the preparation: a report without measurements, no graph data, no new scene.
  rig.press_start();
  rig.press_start();
  rig.press_start();
  EXPECT_FALSE(rig.env.runner->on_init_progress(1, 8));
  rig.end_run(false);
  rig.tick();
  rig.look("cancelled while preparing");
  EXPECT_NE(reports.last_report.find("Read.tests                      0 / 6\r\n"), std::string::npos);
  const std::string previous = reports.last_report;

  // A runner failing on its own: no report, the previous one stays; no best-rate block.
  rig.press_start();
  rig.press_start();
  rig.phase(true);
  rig.test_done(true, 1e6, false);
  rig.end_run(false);
  rig.tick();
  rig.look("failed");
  EXPECT_EQ(reports.last_report, previous);

  // A thread that cannot start ends the run at once as failed.
  rig.press_start();
  rig.env.run_start_ok = false;
  rig.press_start();
  rig.look("not started");
  expect_golden(rig.seen, "ui/main_window_cancels_and_failures.txt");
}

// The last record handed over while the run's thread is joined reaches the list, and a poll that
// the join's message pumping dispatches finishes nothing twice.
TEST(main_window_model, the_end_of_a_run_is_taken_once_with_every_record) {
  main_window_rig rig;
  rig.start_small_run();
  rig.phase(true);
  rig.tick();
  for (int i = 0; i < 6; ++i) rig.test_done(true, 10e6);
  rig.phase(false);
  for (int i = 0; i < 3; ++i) rig.test_done(false, 10e6);
  int polls = 0;
  rig.env.during_join = [&] {
    ++polls;
    rig.test_done(false, 10e6);
    rig.tick();
  };
  rig.end_run(true);
  rig.tick();
  EXPECT_EQ(polls, 1);
  EXPECT_EQ(rig.env.joins, 1);
  EXPECT_EQ(rig.model.results().read_results().size(), 6u);
  EXPECT_EQ(rig.model.results().write_results().size(), 4u);
  EXPECT_EQ(rig.model.reports().shareable_reports.size(), 1u);
  EXPECT_EQ(rig.model.view(), view_done_graphs) << "the graphs have data even before they painted it";
  EXPECT_EQ(rig.window.texts[IDC_MAIN_STATUS], L"Completed");
}

// A row of 0 pixels, no drives, a location that is gone, mapped drives and shares, switching
// between list and graphs, and the events of a run that has ended.
const std::pair<const char*, void (*)(main_window_rig&)> moments[] = {
    {"no page fill without a measurable row",
     [](main_window_rig& rig) {
       rig.env.stack = two_local_drives();
       rig.model.init(0);
       rig.env.scan_done = true;
       rig.model.timer(scan_poll_timer.id);
       rig.choose_small_profile();
       rig.press_start();
       rig.phase(true);
       rig.test_done(true, 10e6);
       rig.end_run(true);
       rig.tick();
     }},
    {"no drives at all",
     [](main_window_rig& rig) {
       rig.model.init(10);
       rig.env.scan_done = true;  // the scan found nothing (or could not run)
       rig.model.timer(scan_poll_timer.id);
       rig.press_start();
     }},
    {"the location is gone",
     [](main_window_rig& rig) {
       rig.open();
       rig.locations.existing.erase(L"C:\\");
       rig.press_start();
     }},
    {"a drive letter mapped to a share is remote",
     [](main_window_rig& rig) {
       rig.open();
       rig.locations.remote_roots.insert(L"D:\\");
       rig.model.command(IDC_MAIN_LOCATION, control_event::confirmed, 1, false);
       rig.press_start();
     }},
    {"a picked share",
     [](main_window_rig& rig) {
       rig.open();
       rig.locations.existing.insert(L"\\\\server\\share\\bench\\");
       rig.model.command(IDC_MAIN_LOCATION, control_event::dropped_down, 0, false);
       rig.model.command(IDC_MAIN_LOCATION, control_event::confirmed, 2, false);
       rig.look("picking");
       rig.model.folder_picked(L"\\\\server\\share\\bench");
       rig.press_start();
     }},
    {"the list while running",
     [](main_window_rig& rig) {
       rig.open();
       rig.model.command(IDC_MAIN_SWITCH_VIEW, control_event::clicked, 0, false);  // ignored while ready
       rig.choose_small_profile();
       rig.press_start();
       rig.model.command(IDC_MAIN_SWITCH_VIEW, control_event::clicked, 0, false);
       rig.look("switched");
       rig.phase(true);
       rig.test_done(true, 5e6);
       rig.end_run(true);
       rig.tick();
       rig.look("finished on the list");
       rig.model.command(IDC_MAIN_SWITCH_VIEW, control_event::clicked, 0, false);
     }},
    {"events of an ended run",
     [](main_window_rig& rig) {
       rig.start_small_run();
       rig.env.runner->on_phase(true);  // posted, not yet delivered
       const auto stale = rig.window.posted;
       rig.window.posted.clear();
       rig.end_run(false);
       rig.press_start(true);
       rig.tick();
       for (const auto& e : stale) rig.model.run_event(e.first, e.second);
       rig.look("the stale events delivered");
       rig.press_start();
       rig.press_start();  // a second run: the first one's serial no longer matches
       for (const auto& e : stale) rig.model.run_event(e.first, e.second);
       rig.look("delivered during the next run");
       rig.model.run_event(run_event_cancel_again, stale[0].second);
     }},
};

TEST(main_window_model, locations_views_and_stale_events) {
  std::string seen;
  for (const auto& [name, act] : moments) {
    main_window_rig rig;
    act(rig);
    rig.look(name);
    seen += rig.seen;
  }
  expect_golden(seen, "ui/main_window_locations_and_views.txt");
}

// Closing during a run: the whole run stops, the window waits for the thread and nothing it pumps
// acts; after two complete runs: the prompt with the joined reports and the scan's log; with
// "AskForResults" = 0, and as Windows ends the session: no prompt.
TEST(main_window_model, closing) {
  std::string seen;
  {
    main_window_rig rig;
    rig.open();
    rig.press_start();
    rig.phase(true);
    rig.env.during_join = [&] {
      EXPECT_FALSE(rig.env.runner->on_test_done(test_run()));
      rig.env.runner->on_phase(false);
      rig.window.deliver(rig.model);
      rig.env.run_done = true;
      rig.tick();
      rig.model.timer(focus_start_timer.id);
    };
    rig.model.command(ID_FILE_EXIT, control_event::clicked, 0, false);
    rig.model.close(false);
    rig.look("closed during a run");
    seen += rig.seen;
  }
  {
    main_window_rig rig;
    rig.open();
    rig.choose_small_profile();
    for (int run = 0; run < 2; ++run) {
      rig.press_start();
      rig.complete_reads();
      rig.press_start();
    }
    rig.model.close(false);
    rig.look("closed after two runs");
    seen += rig.seen;
    ASSERT_EQ(rig.env.offered.size(), 1u);
    EXPECT_EQ(rig.env.offered[0].first, join_reports(rig.model.reports().shareable_reports));
    EXPECT_NE(rig.env.offered[0].first.find("\r\n-------\r\n\r\n"), std::string::npos);
    EXPECT_EQ(rig.env.offered[0].second, "scan log\n");
  }
  for (bool forced : {false, true}) {
    main_window_rig rig;
    rig.start_small_run();
    rig.complete_reads();
    rig.env.share_allowed = false;
    rig.model.close(forced);
    rig.look(forced ? "the session ends" : "closed without asking for results");
    seen += rig.seen;
  }
  expect_golden(seen, "ui/main_window_closing.txt");
}

TEST(main_window_model, enter_and_esc_are_not_the_model_s) {
  main_window_rig rig;
  rig.open();
  EXPECT_FALSE(rig.model.command(1, control_event::clicked, 0, false));
  EXPECT_FALSE(rig.model.command(2, control_event::clicked, 0, false));
  EXPECT_FALSE(rig.model.command(IDC_MAIN_SCREENGRAB, control_event::clicked, 0, false))
      << "the window opens the popup";
  EXPECT_EQ(rig.window.ended, 0);
}

}  // namespace
