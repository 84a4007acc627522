#include "ui/screenshot_image.h"

#include "support/text.h"

namespace {
const wchar_t separator[] = L"  \u00B7  ";
constexpr size_t serial_half = 4;
}  // namespace

std::wstring mask_volume_serial(const std::wstring& line) {
  const size_t sep = line.find(separator);
  const size_t from = sep == std::wstring::npos ? 0 : sep + 1;
  const size_t dash = line.find(L'-', from);
  if (dash == std::wstring::npos || dash < serial_half || line.size() - dash - 1 < serial_half) return line;
  std::wstring masked = line;
  for (size_t i = 1; i <= serial_half; ++i) masked[dash - i] = masked[dash + i] = L'X';
  return masked;
}

std::wstring screenshot_title(const std::wstring& title, const std::string& short_version) {
  return title + L" / " + from_utf8(short_version);
}
