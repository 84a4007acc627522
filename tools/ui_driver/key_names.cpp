#include "key_names.h"

#include <windows.h>

#include <cctype>

namespace {
struct named_key {
  const char* name;
  uint16_t virtual_key;
  wchar_t character;
};

const named_key named_keys[] = {
    {"esc", VK_ESCAPE, 0x1B},     {"enter", VK_RETURN, L'\r'}, {"tab", VK_TAB, L'\t'},   {"space", VK_SPACE, L' '},
    {"backspace", VK_BACK, 0x08}, {"delete", VK_DELETE, 0},    {"insert", VK_INSERT, 0}, {"home", VK_HOME, 0},
    {"end", VK_END, 0},           {"pageup", VK_PRIOR, 0},     {"pagedown", VK_NEXT, 0}, {"up", VK_UP, 0},
    {"down", VK_DOWN, 0},         {"left", VK_LEFT, 0},        {"right", VK_RIGHT, 0},
};

std::string lower(const std::string& text) {
  std::string out;
  for (char c : text) out += char(std::tolower(static_cast<unsigned char>(c)));
  return out;
}
}  // namespace

bool key_by_name(const std::string& name, key_info& key) {
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    const char c = name[0];
    key.virtual_key = uint16_t(std::toupper(static_cast<unsigned char>(c)));
    key.character = wchar_t(c);
    return true;
  }
  const std::string wanted = lower(name);
  for (const named_key& k : named_keys) {
    if (wanted == k.name) {
      key = {k.virtual_key, k.character};
      return true;
    }
  }
  if (wanted.size() >= 2 && wanted.size() <= 3 && wanted[0] == 'f') {
    int n = 0;
    for (size_t i = 1; i < wanted.size(); ++i) {
      if (!std::isdigit(static_cast<unsigned char>(wanted[i]))) return false;
      n = n * 10 + (wanted[i] - '0');
    }
    if (n < 1 || n > 12 || wanted[1] == '0') return false;
    key = {uint16_t(VK_F1 + n - 1), 0};
    return true;
  }
  return false;
}
