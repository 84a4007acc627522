#pragma once

#include <string>

// Each UTF-16 unit becomes 1 to 3 bytes on its own; surrogate pairs are not combined.
std::string to_utf8(const std::wstring& text);
// The inverse of to_utf8 for its own output; invalid bytes become U+FFFD.
std::wstring from_utf8(const std::string& text);
