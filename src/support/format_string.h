#pragma once

#include <cstdarg>
#include <string>

// printf into a string; a result longer than 1,024 characters comes out empty.
std::string format_string_v(const char* format, va_list args);
std::string format_string(const char* format, ...);
std::wstring format_string_v(const wchar_t* format, va_list args);
std::wstring format_string(const wchar_t* format, ...);
