#pragma once

#include <string>

#include "support/api_error.h"

// Is this face an installed fixed-pitch font?
using font_probe_fn = bool (*)(const std::wstring& face);
bool installed_fixed_pitch_font(const std::wstring& face);

// Sets Notepad to a fixed-pitch font without word wrap for a moment, then puts back what it changed.
class notepad_settings {
 public:
  explicit notepad_settings(const wchar_t* key = L"Software\\Microsoft\\Notepad",
                            font_probe_fn font_probe = installed_fixed_pitch_font);
  void save(api_error_cb* errors);
  void restore(api_error_cb* errors);
  bool changed_font() const { return font_changed_; }
  bool changed_wrap() const { return wrap_changed_; }

 private:
  std::wstring key_;
  font_probe_fn font_probe_;
  bool font_changed_ = false;
  std::wstring old_font_;
  bool wrap_changed_ = false;
  unsigned long old_wrap_ = 0;
};
