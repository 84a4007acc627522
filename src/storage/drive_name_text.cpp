#include "storage/drive_name_text.h"

#include <cstring>

namespace {

char fold(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool iequal_range(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

}  // namespace

bool iequals(const std::string& text, const char* other) {
  if (!other) return false;
  size_t n = std::strlen(other);
  return text.size() == n && iequal_range(text.data(), other, n);
}

bool istarts_with(const std::string& text, const char* prefix) {
  if (!prefix || !*prefix) return false;
  size_t n = std::strlen(prefix);
  return text.size() >= n && iequal_range(text.data(), prefix, n);
}

bool icontains(const std::string& text, const char* part) {
  return lower_ascii(text).find(lower_ascii(part)) != std::string::npos;
}

bool ends_with_exact(const std::string& text, const char* ending) {
  if (!ending || !*ending) return false;
  size_t n = std::strlen(ending);
  return text.size() >= n && text.compare(text.size() - n, n, ending) == 0;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string lower_ascii(std::string text) {
  for (char& c : text) c = fold(c);
  return text;
}

std::string trimmed(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && is_blank(text[first])) ++first;
  while (last > first && is_blank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::string narrow_ascii(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) out += c < 128 ? char(c) : '?';
  return out;
}
