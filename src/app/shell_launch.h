#pragma once

#include <string>

class api_error_cb;

// Opens a program, document or web address through the shell, elevated ("runas") or with the
// default verb. Failures are reported as "ShellExecuteEx[runas]" or "ShellExecuteEx[-]".
bool shell_launch(const std::wstring& path, const std::wstring& parameters, bool elevated, api_error_cb* errors);
