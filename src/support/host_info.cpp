#include "support/host_info.h"

#include <windows.h>

#include <vector>

#include "support/digest.h"
#include "support/format_string.h"
#include "support/hex_text.h"
#include "support/optional_functions.h"
#include "support/registry.h"
#include "support/text.h"

std::string machine_id_digest_of(const std::wstring& machine_guid) {
  uint8_t guid[16];
  if (!guid_from_text(to_utf8(machine_guid), guid)) return "-";
  uint8_t digest[16];
  md5_digest().digest(guid, sizeof guid, digest);
  return to_hex(digest, sizeof digest, false);
}

std::string machine_id_digest() {
  std::wstring text;
  if (!reg_read_string(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Cryptography", L"MachineGuid", text, wow64_view(),
                       nullptr))
    return "-";
  return machine_id_digest_of(text);
}

std::string file_version::full() const {
  return format_string("%lu.%lu.%lu.%lu", (unsigned long)major, (unsigned long)minor, (unsigned long)build,
                       (unsigned long)revision);
}

std::string file_version::short_form() const {
  if (build == 0 && revision == 0) return format_string("%lu.%lu", (unsigned long)major, (unsigned long)minor);
  if (revision == 0)
    return format_string("%lu.%lu.%lu", (unsigned long)major, (unsigned long)minor, (unsigned long)build);
  return full();
}

bool program_version(file_version& version, api_error_cb* errors) {
  std::vector<wchar_t> path(65536);
  DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
  if (n == 0 || n >= path.size()) {
    if (errors) errors->report_api_error("GetModuleFileName", uint32_t(n ? ERROR_INSUFFICIENT_BUFFER : GetLastError()));
    return false;
  }
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(path.data(), &handle);
  if (size == 0) {
    if (errors) errors->report_api_error("GetFileVersionInfoSize", uint32_t(GetLastError()), path.data());
    return false;
  }
  std::vector<uint8_t> block(size);
  if (!GetFileVersionInfoW(path.data(), 0, size, block.data())) {
    if (errors) errors->report_api_error("GetFileVersionInfo", uint32_t(GetLastError()), path.data());
    return false;
  }
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof *info) {
    if (errors) errors->report_api_error("VerQueryValue", uint32_t(GetLastError()), path.data());
    return false;
  }
  version.major = HIWORD(info->dwFileVersionMS);
  version.minor = LOWORD(info->dwFileVersionMS);
  version.build = HIWORD(info->dwFileVersionLS);
  version.revision = LOWORD(info->dwFileVersionLS);
  return true;
}
