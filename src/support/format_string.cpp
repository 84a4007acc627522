#include "support/format_string.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {
constexpr size_t format_limit = 1024;

template <typename Char>
std::basic_string<Char> format_bounded(const Char* format, va_list args,
                                       int (*print)(Char*, size_t, const Char*, va_list)) {
  Char buf[format_limit + 1];
  va_list copy;
  va_copy(copy, args);
  int n = print(buf, format_limit + 1, format, copy);
  va_end(copy);
  if (n < 0 || size_t(n) > format_limit) return {};
  return std::basic_string<Char>(buf, size_t(n));
}

int print_narrow(char* buf, size_t size, const char* format, va_list args) {
  return std::vsnprintf(buf, size, format, args);
}
int print_wide(wchar_t* buf, size_t size, const wchar_t* format, va_list args) {
  // vswprintf returns -1 on truncation, which the caller treats as too long.
  return std::vswprintf(buf, size, format, args);
}
}  // namespace

std::string format_string_v(const char* format, va_list args) {
  if (!format) return {};
  if (std::strcmp(format, "%s") == 0) {
    va_list copy;
    va_copy(copy, args);
    const char* s = va_arg(copy, const char*);
    va_end(copy);
    return s ? std::string(s) : std::string();
  }
  if (!std::strchr(format, '%')) return format;
  return format_bounded(format, args, print_narrow);
}

std::wstring format_string_v(const wchar_t* format, va_list args) {
  if (!format) return {};
  if (std::wcscmp(format, L"%s") == 0) {
    va_list copy;
    va_copy(copy, args);
    const wchar_t* s = va_arg(copy, const wchar_t*);
    va_end(copy);
    return s ? std::wstring(s) : std::wstring();
  }
  if (!std::wcschr(format, L'%')) return format;
  return format_bounded(format, args, print_wide);
}

std::string format_string(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string s = format_string_v(format, args);
  va_end(args);
  return s;
}

std::wstring format_string(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring s = format_string_v(format, args);
  va_end(args);
  return s;
}
