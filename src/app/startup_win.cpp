#include "app/startup_win.h"

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/console.h"
#include "storage/scan_replay.h"
#include "app/elevation.h"
#include "app/shell_launch.h"
#include "support/optional_functions.h"
#include "support/os_version.h"
#include "support/scoped_win.h"

namespace {
constexpr DWORD longest_module_path = 65536;
}  // namespace

void win32_startup::request_console() {
  app_.console_requested = true;
  attach_console(app_);
}

uint16_t win32_startup::key_state(int virtual_key) { return uint16_t(GetKeyState(virtual_key)); }

int win32_startup::os_version_index() { return ::os_version_index(); }

token_elevation_query win32_startup::token_elevation() {
  token_elevation_query q;
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) {
    q.result = token_elevation_query::open_failed;
    q.error = GetLastError();
    return q;
  }
  const scoped_handle token(raw);
  TOKEN_ELEVATION_TYPE type{};
  DWORD size = 0;
  if (!GetTokenInformation(token.get(), TokenElevationType, &type, sizeof type, &size)) {
    q.result = token_elevation_query::query_failed;
    q.error = GetLastError();
    return q;
  }
  q.type = int(type);
  return q;
}

bool win32_startup::own_path(std::wstring& path, uint32_t& error) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
    if (n == 0) {
      error = GetLastError();
      return false;
    }
    if (n < buffer.size()) {
      path.assign(buffer.data(), n);
      return true;
    }
    // Cut short: a longer buffer, up to the longest path there can be.
    if (buffer.size() >= longest_module_path) {
      error = ERROR_INSUFFICIENT_BUFFER;
      return false;
    }
    buffer.resize(std::min<size_t>(buffer.size() * 4, longest_module_path));
  }
}

bool win32_startup::shell_launch(const std::wstring& path, const std::wstring& parameters, bool elevated,
                                 api_error_cb* errors) {
  return ::shell_launch(path, parameters, elevated, errors);
}

long win32_startup::co_initialize(uint32_t apartment) { return CoInitializeEx(nullptr, DWORD(apartment)); }

long win32_startup::co_initialize_security(const com_security& s) {
  return CoInitializeSecurity(nullptr, LONG(s.authentication_services), nullptr, nullptr, DWORD(s.authentication_level),
                              DWORD(s.impersonation_level), nullptr, DWORD(s.capabilities), nullptr);
}

bool win32_startup::enable_privilege(const wchar_t* name, api_error_cb* errors) {
  return ::enable_privilege(name, errors);
}

void win32_startup::load_optional_functions(api_error_cb* errors) { ::load_optional_functions(errors); }

void win32_startup::wait_for_enter(const char* prompt) {
  console_api& console = win32_console_api();
  std::fputs(prompt, console.output());
  std::fflush(console.output());
  console.read_line();
}

bool win32_startup::load_replay(const std::wstring& path, std::string& error) {
  std::unique_ptr<scan_recording> r(new scan_recording);
  if (!load_recording(path, *r, error)) return false;
  replay_ = std::move(r);
  return true;
}
