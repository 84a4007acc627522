#pragma once

#include <windows.h>

#include <string>

#include "support/api_error.h"

// KEY_WOW64_64KEY when this is a 32-bit process on 64-bit Windows, else 0.
REGSAM wow64_view();

// Reads a value whose type must be `type`; `data` receives its bytes.
bool reg_read_value(HKEY root, const wchar_t* key, const wchar_t* name, DWORD type, std::string& data, REGSAM view,
                    api_error_cb* errors);
bool reg_read_dword(const wchar_t* key, const wchar_t* name, DWORD& value, REGSAM view, api_error_cb* errors);
bool reg_read_string(HKEY root, const wchar_t* key, const wchar_t* name, std::wstring& value, REGSAM view,
                     api_error_cb* errors);
// HKEY_CURRENT_USER only; the key is created when missing.
bool reg_write_value(const wchar_t* key, const wchar_t* name, DWORD type, const void* data, DWORD size, REGSAM view,
                     api_error_cb* errors);
bool reg_delete_value(const wchar_t* key, const wchar_t* name, REGSAM view, api_error_cb* errors);
