#include "ui/test_config_model.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "golden.h"
#include "support/text.h"
#include "ui/summary_colours.h"

namespace {

// The dialog's controls as plain values; the user's actions go through the model like the
// window's notifications do.
struct fake_dialog final : test_config_view_cb {
  test_config_model& model;
  bool echo_text = false;  // a control that notifies even when its text is set from code
  std::map<int, std::vector<std::wstring>> combos;
  std::map<int, int> selections;
  std::map<int, std::wstring> texts, hints;
  std::map<int, bool> checks;
  int attention = 0;
  std::vector<std::wstring> boxes;
  int ended = 0;

  explicit fake_dialog(test_config_model& m) : model(m) { model.init(*this); }

  void fill_combo(int id, const std::vector<std::wstring>& items) override { combos[id] = items; }
  void select_item(int id, int item) override { selections[id] = item; }
  void set_text(int id, const std::wstring& text) override {
    texts[id] = text;
    if (echo_text) model.edit_changed(*this, id, text);
  }
  void set_check(int id, bool checked) override { checks[id] = checked; }
  void set_hint(int id, const std::wstring& text) override { hints[id] = text; }
  void draw_attention(int id) override { attention = id; }
  void message_box(const std::wstring& text, const std::wstring& caption, uint32_t flags) override {
    boxes.push_back(text + L"|" + caption + L"|" + std::to_wstring(flags));
  }
  void end_dialog(int result) override { ended = result; }

  void type(int id, const std::wstring& text) {
    texts[id] = text;
    EXPECT_TRUE(model.edit_changed(*this, id, text));
  }
  void click(int id) {
    checks[id] = !checks[id];
    EXPECT_TRUE(model.check_changed(*this, id, checks[id]));
  }
  void choose(int id, int item) {
    selections[id] = item;
    if (id == id_profile_list) model.profile_chosen(*this, item);
    else EXPECT_TRUE(model.choice_changed(*this, id, item));
  }
  std::wstring summary() {
    return texts[id_read_tests] + L"|" + texts[id_write_tests] + L"|" + texts[id_read_time] + L"|" +
           texts[id_write_time] + L"|" + texts[id_total_time];
  }
  // Every control the model set, a line each.
  std::string state() {
    std::string s;
    for (const auto& [id, items] : combos) {
      s += "combo " + std::to_string(id);
      for (const std::wstring& item : items) s += " [" + to_utf8(item) + "]";
      s += "\n";
    }
    for (const auto& [id, item] : selections) s += "select " + std::to_string(id) + " " + std::to_string(item) + "\n";
    for (const auto& [id, text] : texts) s += "text " + std::to_string(id) + " " + to_utf8(text) + "\n";
    for (const auto& [id, text] : hints) s += "hint " + std::to_string(id) + " " + to_utf8(text) + "\n";
    for (const auto& [id, on] : checks) s += "check " + std::to_string(id) + " " + std::to_string(on) + "\n";
    return s;
  }
};

enum { quick = 1, standard = 2, extended = 3 };
constexpr int sizes_id = 1109, counts_id = 1095, cap_id = 1096, run_time_id = 1098, file_id = 1107, init_id = 1108;

// The custom entry starts as Extended. Each preset's summary is summarize_profile's test; here the
// dialog shows the one of the profile it shows.
TEST(test_config_model, opens_on_custom_and_shows_each_preset_exactly) {
  test_config_model model;
  fake_dialog d(model);
  std::string seen = "== custom\n" + d.state();
  for (int preset : {standard, quick, extended}) {
    d.choose(id_profile_list, preset);
    seen += "== preset " + std::to_string(preset) + "\n" + d.state();
  }
  EXPECT_EQ(model.current(), extended);
  expect_golden(seen, "ui/config_dialog_presets.txt");
}

TEST(test_config_model, any_edit_of_a_preset_continues_as_custom) {
  test_config_model model;
  fake_dialog d(model);
  d.choose(id_profile_list, quick);
  d.type(counts_id, L"1 4 8");
  EXPECT_EQ(model.current(), 0);
  EXPECT_EQ(d.selections[id_profile_list], 0);
  EXPECT_EQ(model.custom().name, L"Custom");
  EXPECT_EQ(model.custom().buffer_counts, (std::vector<uint32_t>{1, 4, 8}));
  EXPECT_EQ(model.custom().duration, 250u);  // Quick's values plus the change
  EXPECT_EQ(d.summary(), L"42|42|~ 00:10|~ 00:10|00:21");

  // The preset itself is untouched; the custom entry comes back as edited.
  d.choose(id_profile_list, quick);
  EXPECT_EQ(d.texts[counts_id], L"1 4 8 16 32 ");
  d.choose(id_profile_list, 0);
  EXPECT_EQ(d.texts[counts_id], L"1 4 8 ");

  // A check box and a combo in a preset do the same.
  d.choose(id_profile_list, standard);
  d.click(1134);  // reading, buf rnd
  EXPECT_EQ(model.current(), 0);
  EXPECT_EQ(model.custom().read_modes, 0x33u);
  EXPECT_EQ(model.custom().buffer_sizes.size(), 12u);
  d.choose(id_profile_list, extended);
  d.choose(1099, 0);
  EXPECT_EQ(model.current(), 0);
  EXPECT_EQ(model.custom().order, 1u);
  EXPECT_EQ(model.custom().memory_cap, 268435456u);
  d.click(id_flush);
  EXPECT_TRUE(model.custom().flush);
  EXPECT_FALSE(model.profile(extended).flush);
}

TEST(test_config_model, filling_the_fields_is_not_an_edit) {
  test_config_model model;
  fake_dialog d(model);
  d.echo_text = true;
  d.choose(id_profile_list, quick);
  EXPECT_EQ(model.current(), quick);
  EXPECT_EQ(model.custom().buffer_sizes.size(), 17u);
  // Notifications for other controls or no selection change nothing.
  EXPECT_FALSE(model.edit_changed(d, 4242, L"1"));
  EXPECT_TRUE(model.choice_changed(d, 1097, -1));
  EXPECT_EQ(model.current(), quick);
}

TEST(test_config_model, an_invalid_field_blanks_the_summary_and_blocks_ok) {
  test_config_model model;
  fake_dialog d(model);
  d.type(run_time_id, L"500");
  EXPECT_EQ(model.error_mask(), 1u << 3);
  EXPECT_EQ(d.summary(), L"-|-|-|-|-");
  EXPECT_FALSE(model.ok(d));
  EXPECT_EQ(d.attention, run_time_id);
  EXPECT_EQ(d.ended, 0);

  // Attention goes to the first invalid field in the dialog's order.
  d.type(sizes_id, L"8K 1.5M");
  EXPECT_FALSE(model.ok(d));
  EXPECT_EQ(d.attention, sizes_id);
  d.type(sizes_id, L"8K,64K; 1M");
  d.type(run_time_id, L"500 ms");
  EXPECT_EQ(model.error_mask(), 0u);
  EXPECT_EQ(model.custom().buffer_sizes, (std::vector<uint64_t>{8192, 65536, 1048576}));
  EXPECT_NE(d.summary(), L"-|-|-|-|-");
  EXPECT_TRUE(model.ok(d));
  EXPECT_EQ(d.ended, id_ok);
}

TEST(test_config_model, an_invalid_text_never_reaches_the_profile) {
  test_config_model model;
  fake_dialog d(model);
  const test_def before = model.custom();
  // Each of these would leave a number behind if read half-way.
  d.type(run_time_id, L"5 hours");
  d.type(cap_id, L"64 x");
  d.type(file_id, L"2G and more");
  d.type(init_id, L"10x");
  d.type(counts_id, L"1 2 -4");
  d.type(sizes_id, L"8K 4G");
  EXPECT_EQ(model.error_mask(), 0x3Fu);
  EXPECT_EQ(model.custom().duration, before.duration);
  EXPECT_EQ(model.custom().memory_cap, before.memory_cap);
  EXPECT_EQ(model.custom().file_size, before.file_size);
  EXPECT_EQ(model.custom().init_time_factor, before.init_time_factor);
  EXPECT_EQ(model.custom().buffer_counts, before.buffer_counts);
  EXPECT_EQ(model.custom().buffer_sizes, before.buffer_sizes);

  // A preset and back clears the errors and shows what the custom profile really holds.
  d.choose(id_profile_list, quick);
  d.choose(id_profile_list, 0);
  EXPECT_EQ(model.error_mask(), 0u);
  EXPECT_EQ(d.texts[run_time_id], L"1 sec");
  EXPECT_EQ(d.texts[cap_id], L"256M");
  EXPECT_TRUE(model.ok(d));
}

TEST(test_config_model, field_limits) {
  const std::map<std::string, int> fields{{"file", file_id},     {"cap", cap_id},     {"init", init_id},
                                          {"counts", counts_id}, {"sizes", sizes_id}, {"run_time", run_time_id}};
  std::istringstream table(test_data_text("ui/config_field_limits.txt"));
  int rows = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    const size_t tab = line.find('\t'), last = line.rfind('\t');
    test_config_model model;
    fake_dialog d(model);
    d.type(fields.at(line.substr(0, tab)), from_utf8(line.substr(tab + 1, last - tab - 1)));
    EXPECT_EQ(model.error_mask() == 0, line.substr(last + 1) == "ok") << line;
    ++rows;
  }
  EXPECT_EQ(rows, 24);
}

// More buffer memory than one test can have is the memory cap's error, whichever field let it in,
// and it goes when any of them brings the profile back within bounds.
TEST(test_config_model, buffers_beyond_one_tests_memory_block_ok) {
  test_config_model model;
  fake_dialog d(model);  // Custom starts as Extended: up to 64M x 32 under a 256M cap
  d.type(cap_id, L"0");
  EXPECT_EQ(model.error_mask(), 1u << 2);
  EXPECT_EQ(d.summary(), L"-|-|-|-|-");
  EXPECT_FALSE(model.ok(d));
  EXPECT_EQ(d.attention, cap_id);
  d.type(counts_id, L"1 2 4 8 16");  // 64M x 16 = 1G: the most a test may have
  EXPECT_EQ(model.error_mask(), 0u);
  d.type(sizes_id, L"1K 128M");
  EXPECT_EQ(model.error_mask(), 1u << 2);
  d.type(cap_id, L"1G");
  EXPECT_EQ(model.error_mask(), 0u);
  EXPECT_TRUE(model.ok(d));

  // The window's own custom profile is judged when it is shown, too.
  test_config_model again;
  test_def wide = model.custom();
  wide.memory_cap = 0;
  again.set_custom(wide);
  fake_dialog shown(again);
  EXPECT_EQ(again.error_mask(), 1u << 2);
}

TEST(test_config_model, no_modes_means_no_tests) {
  test_config_model model;
  fake_dialog d(model);
  for (const config_mode_box& b : config_mode_boxes)
    if (d.checks[b.id]) d.click(b.id);
  EXPECT_EQ(d.summary(), L"0|0|-|-|-");
  EXPECT_FALSE(model.ok(d));
  ASSERT_EQ(d.boxes.size(), 1u);
  EXPECT_EQ(d.boxes[0], L"No tests selected|Test configuration|49");
  EXPECT_EQ(d.ended, 0);

  // A cap that no combination fits leaves no test either.
  d.click(1081);
  d.type(cap_id, L"1");
  EXPECT_EQ(d.summary(), L"0|0|-|-|-");
  EXPECT_FALSE(model.ok(d));
  EXPECT_EQ(d.boxes.size(), 2u);
  model.cancel(d);
  EXPECT_EQ(d.ended, id_cancel);
}

TEST(test_config_model, summary_texts) {
  test_config_model model;
  fake_dialog d(model);
  // One read test of 250 ms, no write test.
  d.type(sizes_id, L"4K");
  d.type(counts_id, L"1");
  for (int id : {1083, 1132, 1082, 1084}) d.click(id);
  d.type(run_time_id, L"250 ms");
  EXPECT_EQ(d.summary(), L"1|0|0.25 sec|-|0.25 sec");

  // Durations past 2^32 milliseconds: 625 tests of two hours.
  d.choose(id_profile_list, extended);
  d.type(run_time_id, L"120 min");
  EXPECT_EQ(d.summary(), L"375|250|45000:00|30000:00|75000:00");
  // No memory cap: every size with every count (64M x 16 is the most one test may have).
  d.type(counts_id, L"1 2 4 8 12 16");
  d.type(cap_id, L"0");
  EXPECT_EQ(d.texts[id_read_tests], L"306");
}

TEST(test_config_model, the_windows_custom_profile_replaces_entry_0) {
  test_def mine;
  mine.reset(0);
  mine.name = L"whatever";
  mine.buffer_counts = {3};
  mine.fill = 2;
  test_config_model model;
  model.set_custom(mine);
  fake_dialog d(model);
  EXPECT_EQ(model.custom().name, L"Custom");
  EXPECT_EQ(d.texts[counts_id], L"3 ");
  EXPECT_EQ(d.selections[1100], 1);
  EXPECT_EQ(d.summary(), L"14|14|~ 00:03|~ 00:03|00:07");
}

TEST(summary_colours, button_face_darkened_and_greyed) {
  auto c = summary_row_colours(0x00F0F0F0);
  EXPECT_EQ(c[0], 0x00E4E4E4u);
  EXPECT_EQ(c[1], 0x00E4E4E4u);
  EXPECT_EQ(c[2], 0u);
  c = summary_row_colours(0x00C8D0D4);  // the classic button face
  EXPECT_EQ(c[0], 0x00BCC6CBu);
  EXPECT_EQ(c[1], 0x00C0C5C7u);
}

}  // namespace
