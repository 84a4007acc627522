#pragma once

#include <string>

// Comparisons for drive name rules: ASCII case folding; a null or empty prefix never matches.

bool iequals(const std::string& text, const char* other);
bool istarts_with(const std::string& text, const char* prefix);
bool icontains(const std::string& text, const char* part);
// Exact byte comparisons.
bool ends_with_exact(const std::string& text, const char* ending);
bool is_digit(char c);
std::string lower_ascii(std::string text);
std::string trimmed(const std::string& text);
// Characters above 127 become '?': the rules only look for ASCII.
std::string narrow_ascii(const std::wstring& text);
