#include "script_words.h"

namespace {
bool blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool unescape(char c, char& out) {
  switch (c) {
    case '"': out = '"'; return true;
    case '\\': out = '\\'; return true;
    case 'n': out = '\n'; return true;
    case 'r': out = '\r'; return true;
    case 't': out = '\t'; return true;
    default: return false;
  }
}
}  // namespace

bool split_words(const std::string& line, std::vector<std::string>& words, std::string& error) {
  words.clear();
  size_t i = 0;
  const size_t n = line.size();
  while (true) {
    while (i < n && blank(line[i])) ++i;
    if (i == n) break;
    if (words.empty() && line[i] == '#') break;
    std::string word;
    bool quoted_word = false;
    while (i < n && !blank(line[i])) {
      const char quote = line[i];
      if (quote != '"' && quote != '\'') {
        word += line[i++];
        continue;
      }
      quoted_word = true;
      ++i;
      while (true) {
        if (i == n) {
          error = "unterminated quote";
          return false;
        }
        const char c = line[i++];
        if (c == quote) break;
        if (c != '\\' || quote == '\'') {
          word += c;
          continue;
        }
        char out = 0;
        if (i == n || !unescape(line[i], out)) {
          error = i == n ? "unterminated quote" : std::string("unknown escape \\") + line[i];
          return false;
        }
        word += out;
        ++i;
      }
    }
    if (word.empty() && !quoted_word) continue;
    words.push_back(word);
  }
  return true;
}

std::string escaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out;
}
