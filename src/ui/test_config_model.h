#pragma once

#include <cstdint>
#include <string>

#include "bench/test_def.h"
#include "ui/test_config_controls.h"
#include "ui/test_config_view_cb.h"

// The "Test profile" dialog without its window: the four profiles, which one is shown, the
// fields' parsing and errors, the summary, and the OK check.
class test_config_model {
 public:
  static constexpr int custom_index = 0;
  static constexpr int profile_count = 4;  // Custom, Quick, Standard, Extended

  test_config_model();

  // Before the dialog opens: the window's own custom profile replaces entry 0.
  void set_custom(const test_def& custom);

  // WM_INITDIALOG: combos, hints, profile list, then the shown profile's fields.
  void init(test_config_view_cb& view);

  // Notifications; false for an id that is not the model's.
  bool edit_changed(test_config_view_cb& view, int id, const std::wstring& text);
  bool check_changed(test_config_view_cb& view, int id, bool checked);
  bool choice_changed(test_config_view_cb& view, int id, int item);
  void profile_chosen(test_config_view_cb& view, int item);
  // True when the dialog ended with IDOK.
  bool ok(test_config_view_cb& view);
  void cancel(test_config_view_cb& view);

  int current() const { return current_; }
  uint32_t error_mask() const { return error_mask_; }
  const test_def& profile(int index) const { return profiles_[index]; }
  const test_def& custom() const { return profiles_[custom_index]; }
  // The id of the first invalid field, 0 when all are valid.
  int first_invalid_id() const;

 private:
  void load(test_config_view_cb& view);
  void update_summary(test_config_view_cb& view);
  // Before an edit while a preset is shown: it becomes the starting point of "Custom".
  void make_custom(test_config_view_cb& view);
  // The error mask from the fields' own errors and the limits of the shown profile.
  void update_error_mask();

  test_def profiles_[profile_count];
  int current_ = custom_index;
  uint32_t error_mask_ = 0;
  uint32_t parse_errors_ = 0;  // fields whose text does not parse
  bool loading_ = false;
};

// Whether a text is a valid value for the field, with the field's own limits; def changes only
// when it is.
bool parse_config_field(config_field field, const std::string& text, test_def& def);
// The text a field shows for a profile.
std::wstring config_field_text(config_field field, const test_def& def);
