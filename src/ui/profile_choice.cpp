#include "ui/profile_choice.h"

#include "bench/test_presets.h"
#include "support/format_string.h"
#include "ui/main_window_texts.h"
#include "ui/test_config_controls.h"
#include "ui/test_config_model.h"

namespace {
// Below a minute and a half the estimate is in seconds.
constexpr uint64_t seconds_limit_ms = 90000;
}  // namespace

std::wstring preset_item_text(int preset, const test_def& def) {
  // In 64 bits: thousands of tests of a long run time pass 2^32 milliseconds.
  const uint64_t ms = (uint64_t(def.read_tests) + def.write_tests) * def.duration;
  if (ms < seconds_limit_ms)
    return preset_item_labels[preset] + format_string(preset_estimate_seconds, unsigned((ms + 500) / 1000));
  return preset_item_labels[preset] + format_string(preset_estimate_minutes, unsigned((ms / 1000 + 30) / 60));
}

std::vector<preset_item> preset_items() {
  std::vector<preset_item> items;
  for (int preset = 0; preset < preset_count; ++preset) {
    test_def def;
    def.reset(preset);
    if (def.duration != 0) items.push_back({preset_item_text(preset, def), preset});
  }
  items.push_back({preset_customize_item, -1});
  return items;
}

std::wstring custom_configuration_text(const test_def& def) {
  const uint32_t total = def.read_tests + def.write_tests;
  const wchar_t* kind = L"";
  if (def.read_tests == 0) kind = L"write ";
  else if (def.write_tests == 0) kind = L"read ";
  return config_custom_prefix + std::wstring(config_separator) +
         (def.sequential ? config_sequential : config_random_access) + config_separator +
         format_string(L"%u ", unsigned(total)) + kind + L"test" + (total == 1 ? L" " : L"s");
}

int profile_choice::current_item() const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].preset == preset_) return int(i);
  return -1;
}

void profile_choice::init(profile_choice_cb& view) {
  items_ = preset_items();
  shown_ = false;
  apply_preset(view, standard_preset);
}

void profile_choice::apply_preset(profile_choice_cb& view, int preset) {
  profile_.reset(preset);
  preset_ = preset;
  view.set_configuration_text(test_presets[preset].name);
}

void profile_choice::apply_custom(profile_choice_cb& view) {
  const std::wstring path = profile_.path;
  profile_ = custom_;
  profile_.path = path;
  profile_.update_counts();
  preset_ = -1;
  view.set_configuration_text(custom_configuration_text(profile_));
}

void profile_choice::change(profile_choice_cb& view) {
  if (shown_ || switching_) return;
  shown_ = true;
  view.show_presets(true, current_item());
}

void profile_choice::hide(profile_choice_cb& view) {
  if (!shown_) return;
  shown_ = false;
  view.show_presets(false, -1);
}

void profile_choice::closed(profile_choice_cb& view) {
  if (!switching_) hide(view);
}

void profile_choice::chosen(profile_choice_cb& view, int item) {
  // The list may report its close before or after the choice; a choice counts either way.
  if (switching_ || item < 0 || size_t(item) >= items_.size()) {
    closed(view);
    return;
  }
  switching_ = true;
  hide(view);
  if (items_[size_t(item)].preset >= 0) apply_preset(view, items_[size_t(item)].preset);
  else customize(view);
  switching_ = false;
}

void profile_choice::customize(profile_choice_cb& view) {
  test_config_model dialog;
  if (custom_.name == custom_profile_name) {
    dialog.set_custom(custom_);
  } else {
    // The first time: the profile in use becomes the custom one, the dialog keeps its own entry.
    custom_ = profile_;
    custom_.name = custom_profile_name;
  }
  if (!view.run_profile_dialog(dialog)) {
    apply_preset(view, standard_preset);
    return;
  }
  if (dialog.current() == test_config_model::custom_index) {
    custom_ = dialog.custom();
    apply_custom(view);
  } else {
    apply_preset(view, dialog.current() - 1);
  }
}
