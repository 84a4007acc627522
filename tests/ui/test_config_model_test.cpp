#include "ui/test_config_model.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <memory>
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

TEST(test_config_model, field_limits) {
  const std::map<std::string, int> fields{{"file", file_id},     {"cap", cap_id},     {"init", init_id},
                                          {"counts", counts_id}, {"sizes", sizes_id}, {"run_time", run_time_id}};
  expect_table("ui/config_field_limits.txt", [&](const std::string& question) {
    const size_t space = question.find(' ');
    test_config_model model;
    fake_dialog d(model);
    d.type(fields.at(question.substr(0, space)), from_utf8(question.substr(space + 1)));
    return model.error_mask() == 0 ? "ok" : "error";
  });
}

template <typename T>
std::string joined(const std::vector<T>& values) {
  std::string s;
  for (T v : values) s += " " + std::to_string(v);
  return s;
}

// What the dialog and the model hold, for a "look".
std::string facts(test_config_model& model, fake_dialog& d) {
  const test_def& c = model.custom();
  std::string s = "current " + std::to_string(model.current()) + ", errors " + std::to_string(model.error_mask()) +
                  ", summary " + to_utf8(d.summary()) + ", attention " + std::to_string(d.attention) + ", ended " +
                  std::to_string(d.ended) + "\n";
  for (const std::wstring& box : d.boxes) s += "box " + to_utf8(box) + "\n";
  d.boxes.clear();
  return s + "custom " + to_utf8(c.name) + (c.sequential ? " sequential" : " random") + ", sizes" +
         joined(c.buffer_sizes) + ", counts" + joined(c.buffer_counts) + ", cap " + std::to_string(c.memory_cap) +
         ", duration " + std::to_string(c.duration) + ", file " + std::to_string(c.file_size) + ", init " +
         std::to_string(c.init_time_factor) + ", order " + std::to_string(c.order) + ", modes " +
         std::to_string(c.read_modes) + "/" + std::to_string(c.write_modes) + (c.flush ? ", flush" : "") + "\n";
}

// The user's actions from a data file played on fresh dialogs, with what each "look" found.
TEST(test_config_model, the_user_s_actions_and_what_the_dialog_shows) {
  const std::map<std::string, int> names{
      {"profiles", id_profile_list}, {"flush", id_flush}, {"file", file_id},        {"cap", cap_id}, {"init", init_id},
      {"counts", counts_id},         {"sizes", sizes_id}, {"run_time", run_time_id}};
  std::istringstream script(test_data_text("ui/config_dialog_actions.txt"));
  std::unique_ptr<test_config_model> model;
  std::unique_ptr<fake_dialog> d;
  std::string seen;
  for (std::string line; std::getline(script, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string verb, control, rest;
    words >> verb >> control;
    std::getline(words >> std::ws, rest);
    const int id = names.count(control) ? names.at(control) : std::atoi(control.c_str());
    seen += line + "\n";
    if (verb == "==") {
      d.reset();
      model.reset(new test_config_model);
      d.reset(new fake_dialog(*model));
    } else if (verb == "type") d->type(id, from_utf8(rest));
    else if (verb == "click") d->click(id);
    else if (verb == "choose") d->choose(id, std::atoi(rest.c_str()));
    else if (verb == "text") seen += to_utf8(d->texts[id]) + "\n";
    else if (verb == "check") seen += std::to_string(d->checks[id]) + "\n";
    else if (verb == "ok") seen += std::to_string(model->ok(*d)) + "\n";
    else if (verb == "cancel") model->cancel(*d);
    else if (verb == "look") seen += facts(*model, *d);
    else if (line == "clear modes") {
      for (const config_mode_box& b : config_mode_boxes)
        if (d->checks[b.id]) d->click(b.id);
    } else ADD_FAILURE() << "unknown action: " << line;
  }
  expect_golden(seen, "ui/config_dialog_actions_seen.txt");
}

// The window's own custom profile is judged when it is shown, too.
TEST(test_config_model, a_custom_profile_beyond_its_cap_is_an_error_when_shown) {
  test_config_model model;
  test_def wide = model.custom();
  wide.memory_cap = 0;
  model.set_custom(wide);
  fake_dialog shown(model);
  EXPECT_EQ(model.error_mask(), 1u << 2);
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
