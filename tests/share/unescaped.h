#pragma once

#include <string>

// `text` with \r, \n, \\ and \xHH written out, as the tests' data tables write bytes.
inline std::string unescaped(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i] == '\\' ? text[++i] : 0;
    if (c == 'x') out += char(std::stoi(text.substr(i + 1, 2), nullptr, 16)), i += 2;
    else out += c == 'r' ? '\r' : c == 'n' ? '\n' : c ? c : text[i];
  }
  return out;
}
