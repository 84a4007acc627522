#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Every row of a list view in another process, one text per column. The item structure and the
// text buffer live in the list view's process (its messages carry pointers that are not
// marshalled), so the driver must have the same bitness as the target.
bool list_view_rows(HWND list, std::vector<std::vector<std::wstring>>& rows, std::string& error);
