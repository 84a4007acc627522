#include "app/shell_launch.h"

#include <windows.h>
#include <shellapi.h>

#include "support/api_error.h"
#include "support/text.h"

#if defined(__i386__)
static_assert(sizeof(SHELLEXECUTEINFOW) == 60, "SHELLEXECUTEINFOW of 32-bit Windows");
#endif

bool shell_launch(const std::wstring& path, const std::wstring& parameters, bool elevated, api_error_cb* errors) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = elevated ? L"runas" : nullptr;
  info.lpFile = path.c_str();
  info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&info)) return true;
  const DWORD error = GetLastError();
  if (errors)
    errors->report_api_error(elevated ? "ShellExecuteEx[runas]" : "ShellExecuteEx[-]", error, "%s %s",
                             to_utf8(path).c_str(), to_utf8(parameters).c_str());
  return false;
}
