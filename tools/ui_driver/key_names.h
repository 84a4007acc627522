#pragma once

#include <cstdint>
#include <string>

struct key_info {
  uint16_t virtual_key = 0;
  wchar_t character = 0;  // what the key types, 0 when it types nothing
};

// "Esc", "Enter", "Tab", "Space", "Backspace", "Delete", "Insert", "Home", "End", "PageUp",
// "PageDown", "Up", "Down", "Left", "Right", "F1" to "F12" (case ignored), or one letter or digit.
bool key_by_name(const std::string& name, key_info& key);
