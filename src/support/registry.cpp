#include "support/registry.h"

#include "support/optional_functions.h"
#include "support/scoped_win.h"

REGSAM wow64_view() { return is_wow64() ? KEY_WOW64_64KEY : 0; }

bool reg_read_value(HKEY root, const wchar_t* key, const wchar_t* name, DWORD type, std::string& data, REGSAM view,
                    api_error_cb* errors) {
  scoped_hkey k;
  LONG rc = RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE | view, k.out());
  if (rc != ERROR_SUCCESS) {
    if (errors) errors->report_api_error("RegOpenKeyEx", uint32_t(rc), key);
    return false;
  }
  DWORD actual = 0, size = 0;
  rc = RegQueryValueExW(k.get(), name, nullptr, &actual, nullptr, &size);
  if (rc == ERROR_SUCCESS && actual == type) {
    data.assign(size, '\0');
    rc = RegQueryValueExW(k.get(), name, nullptr, &actual, reinterpret_cast<BYTE*>(&data[0]), &size);
    data.resize(size);
  }
  if (rc != ERROR_SUCCESS) {
    if (errors) errors->report_api_error("RegQueryValueEx", uint32_t(rc), name);
    return false;
  }
  if (actual != type) {
    if (errors) errors->report_api_error("CheckRegValueType", no_error_code, "%lu", (unsigned long)actual);
    return false;
  }
  return true;
}

bool reg_read_dword(const wchar_t* key, const wchar_t* name, DWORD& value, REGSAM view, api_error_cb* errors) {
  std::string data;
  if (!reg_read_value(HKEY_CURRENT_USER, key, name, REG_DWORD, data, view, errors)) return false;
  if (data.size() != 4) {
    if (errors) errors->report_api_error("CheckRegValueSize", no_error_code, "%u", unsigned(data.size()));
    return false;
  }
  memcpy(&value, data.data(), 4);
  return true;
}

bool reg_read_string(HKEY root, const wchar_t* key, const wchar_t* name, std::wstring& value, REGSAM view,
                     api_error_cb* errors) {
  std::string data;
  if (!reg_read_value(root, key, name, REG_SZ, data, view, errors)) return false;
  if (data.size() % 2) {
    if (errors) errors->report_api_error("CheckRegValueSize", no_error_code, "%u", unsigned(data.size()));
    return false;
  }
  value.assign(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
  while (!value.empty() && value.back() == L'\0') value.pop_back();
  return true;
}

bool reg_write_value(const wchar_t* key, const wchar_t* name, DWORD type, const void* data, DWORD size, REGSAM view,
                     api_error_cb* errors) {
  scoped_hkey k;
  LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | view, nullptr,
                            k.out(), nullptr);
  if (rc != ERROR_SUCCESS) {
    if (errors) errors->report_api_error("RegCreateKeyEx", uint32_t(rc), key);
    return false;
  }
  rc = RegSetValueExW(k.get(), name, 0, type, static_cast<const BYTE*>(data), size);
  if (rc != ERROR_SUCCESS) {
    if (errors) errors->report_api_error("RegSetValueEx", uint32_t(rc), name);
    return false;
  }
  return true;
}

bool reg_delete_value(const wchar_t* key, const wchar_t* name, REGSAM view, api_error_cb* errors) {
  scoped_hkey k;
  LONG rc = RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_SET_VALUE | view, k.out());
  if (rc == ERROR_SUCCESS) rc = RegDeleteValueW(k.get(), name);
  if (rc != ERROR_SUCCESS) {
    if (errors) errors->report_api_error("RegDeleteValue", uint32_t(rc), name);
    return false;
  }
  return true;
}
