#include "app/elevation.h"

#include <windows.h>

#include "support/os_version.h"
#include "support/scoped_win.h"

bool query_elevation_state(int& state, api_error_cb* errors) {
  state = elevation_unknown;
  if (os_version_index() < 4) {
    state = elevation_default;
    return true;
  }
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) {
    if (errors) errors->report_api_error("OpenProcessToken", GetLastError(), "");
    return false;
  }
  scoped_handle token(raw);
  TOKEN_ELEVATION_TYPE type{};
  DWORD size = 0;
  if (!GetTokenInformation(token.get(), TokenElevationType, &type, sizeof type, &size)) {
    if (errors)
      errors->report_api_error("GetTokenInformation", GetLastError(), "%lu", (unsigned long)TokenElevationType);
    return false;
  }
  switch (type) {
    case TokenElevationTypeDefault: state = elevation_default; break;
    case TokenElevationTypeFull: state = elevation_full; break;
    case TokenElevationTypeLimited: state = elevation_limited; break;
    default: break;
  }
  return true;
}

bool enable_privilege(const wchar_t* name, api_error_cb* errors) {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) {
    if (errors) errors->report_api_error("OpenProcessToken", GetLastError(), "");
    return false;
  }
  scoped_handle token(raw);
  TOKEN_PRIVILEGES tp{};
  tp.PrivilegeCount = 1;
  tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueW(nullptr, name, &tp.Privileges[0].Luid)) {
    if (errors) errors->report_api_error("LookupPrivilegeValue", GetLastError(), name);
    return false;
  }
  // A partial assignment returns success with ERROR_NOT_ALL_ASSIGNED.
  SetLastError(0);
  const BOOL adjusted = AdjustTokenPrivileges(token.get(), FALSE, &tp, sizeof tp, nullptr, nullptr);
  const DWORD error = GetLastError();
  if (!adjusted || error != 0) {
    if (errors) errors->report_api_error("AdjustTokenPrivileges", error, name);
    return false;
  }
  return true;
}

bool enable_benchmark_privileges(api_error_cb* errors) {
  return enable_privilege(L"SeManageVolumePrivilege", errors) &&
         enable_privilege(L"SeProfileSingleProcessPrivilege", errors);
}
