#pragma once

#include <string>

// Each UTF-16 unit becomes 1 to 3 bytes on its own; surrogate pairs are not combined.
std::string to_utf8(const std::wstring& text);
// A fixed-size UTF-16 field up to its first NUL, at most max_chars long.
std::wstring wide_until_nul(const wchar_t* text, size_t max_chars);
// The inverse of to_utf8 for its own output; invalid bytes become U+FFFD.
std::wstring from_utf8(const std::string& text);
