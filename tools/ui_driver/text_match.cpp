#include "text_match.h"

namespace {
// Where the UTF-8 character that starts at `i` ends: ? stands for a character, not a byte.
size_t after_character(const std::string& text, size_t i) {
  ++i;
  while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
  return i;
}
}  // namespace

bool text_matches(const std::string& pattern, const std::string& text) {
  // Greedy with one back-up point: the last star seen and where its match may grow from.
  size_t p = 0, t = 0, star = std::string::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      t = after_character(text, t);
    } else if (p < pattern.size() && pattern[p] != '*' && pattern[p] == text[t]) {
      ++p;
      ++t;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = t;
    } else if (star != std::string::npos) {
      p = star + 1;
      t = resume = after_character(text, resume);
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}
