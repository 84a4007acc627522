#pragma once

#include <string>
#include <vector>

// One argument quoted so that the C runtime's command-line parser gives it back unchanged.
std::wstring quote_argument(const std::wstring& arg);
// The arguments quoted and joined with blanks.
std::wstring command_line_of(const std::vector<std::wstring>& args);
