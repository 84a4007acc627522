#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The rows of a console screen as text: blanks at the end of each row and empty rows at the end
// of the screen dropped.
std::vector<std::wstring> trimmed_rows(const std::vector<std::wstring>& screen);

// The key presses that type `text`; a line feed is the Enter key.
std::vector<INPUT_RECORD> key_presses(const std::wstring& text);

// Attaches to the console of process `pid` for one read or one write and leaves it again.
bool read_console(DWORD pid, std::vector<std::wstring>& rows, std::string& error);
bool type_into_console(DWORD pid, const std::wstring& text, std::string& error);
