#pragma once

#include <string>
#include <vector>

#include "bench/test_def.h"

class test_config_model;

// The items of the preset drop-down: each preset with its estimated run time, then
// "Customize...". A preset whose single-test time is 0 has no estimate and no item.
struct preset_item {
  std::wstring text;
  int preset;  // -1: "Customize..."
};
std::vector<preset_item> preset_items();
std::wstring preset_item_text(int preset, const test_def& def);

// The configuration text of a profile: the preset's name, or the custom profile's summary.
std::wstring custom_configuration_text(const test_def& def);

// What the profile part of the main window asks of the window.
class profile_choice_cb {
 public:
  virtual ~profile_choice_cb() = default;
  virtual void set_configuration_text(const std::wstring& text) = 0;
  // Shown: the drop-down takes the place of the text and its link, gets the focus and drops its
  // list down with `selected` highlighted; hidden: the text and the link come back.
  virtual void show_presets(bool shown, int selected) = 0;
  // Dialog 106 run modally with this model; true when it ended with OK.
  virtual bool run_profile_dialog(test_config_model& dialog) = 0;
};

// The profile of the next run, the user's custom profile, and the drop-down that switches them.
class profile_choice {
 public:
  static constexpr int standard_preset = 1;

  // Standard, with the configuration text saying so.
  void init(profile_choice_cb& view);
  // "Change": the drop-down in place of the text.
  void change(profile_choice_cb& view);
  // An item of the drop-down was chosen.
  void chosen(profile_choice_cb& view, int item);
  // The drop-down's list closed, with or without a choice.
  void closed(profile_choice_cb& view);
  // A run starts: the drop-down goes if it is open.
  void hide(profile_choice_cb& view);

  const test_def& profile() const { return profile_; }
  const test_def& custom() const { return custom_; }
  bool presets_shown() const { return shown_; }
  const std::vector<preset_item>& items() const { return items_; }
  // The item of the applied profile: its preset's, or "Customize..." for the custom one.
  int current_item() const;

 private:
  void apply_preset(profile_choice_cb& view, int preset);
  void apply_custom(profile_choice_cb& view);
  void customize(profile_choice_cb& view);

  std::vector<preset_item> items_;
  test_def profile_;
  test_def custom_;               // named "Custom" from the first "Customize..." on
  int preset_ = standard_preset;  // -1 while the custom profile is applied
  bool shown_ = false;
  bool switching_ = false;  // a choice is being applied: notifications it causes are ignored
};
