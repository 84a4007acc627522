#include "support/os_version.h"

#include <cwctype>

#include "support/format_string.h"
#include "support/os_version_table.h"

int classify_os_version(const os_version_facts& f) {
  if (f.platform_id != 2) return 0;  // VER_PLATFORM_WIN32_NT
  const bool workstation = f.product_type == 1;
  const uint32_t v = f.major * 10 + f.minor;
  if (v > 100) return 14;
  if (v == 52) return f.server_r2 ? 3 : 2;
  for (const os_version_row& row : os_version_rows)
    if (row.v == v) return workstation ? row.workstation_index : row.server_index;
  return 0;
}

std::string os_version_text(const os_version_facts& f, const std::string& kernel_type,
                            const std::string& registry_type) {
  return format_string("%u.%u.%u.%u.%u.%s.%s", unsigned(f.platform_id), unsigned(f.major), unsigned(f.minor),
                       unsigned(f.build), unsigned(f.product_type), kernel_type.c_str(), registry_type.c_str());
}

const char* os_name_of_index(int index) {
  if (index < 0 || index >= os_name_count) return os_names[0];
  return os_names[index];
}

unsigned product_type_code(const std::wstring& text) {
  unsigned sum = 0;
  for (wchar_t c : text) sum += unsigned(std::towupper(c)) & 0xFFFF;
  switch (sum & 0xFFFF) {
    case 400: return 1;  // WINNT
    case 601: return 2;  // LANMANNT
    case 633: return 3;  // SERVERNT
    default: return 0;
  }
}
