#include "support/long_path.h"

namespace {
std::wstring with_backslashes(std::wstring s) {
  for (wchar_t& c : s)
    if (c == L'/') c = L'\\';
  return s;
}
}  // namespace

std::wstring long_path(const std::wstring& path) {
  // Already long, or a device name such as \\.\PhysicalDrive0: used as it is.
  if (path.compare(0, 4, L"\\\\?\\") == 0 || path.compare(0, 4, L"\\\\.\\") == 0) return path;
  if (path.compare(0, 2, L"\\\\") == 0) return with_backslashes(L"\\\\?\\UNC\\" + path.substr(2));
  if (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/'))
    return with_backslashes(L"\\\\?\\" + path);
  return path;
}
