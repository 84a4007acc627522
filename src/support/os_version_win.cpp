#include <windows.h>

#include "support/format_string.h"
#include "support/os_version.h"
#include "support/registry.h"

namespace {
// RtlGetVersion tells the truth regardless of the manifest's compatibility list.
bool query_version(OSVERSIONINFOEXW& info) {
  info = {};
  info.dwOSVersionInfoSize = sizeof info;
  using rtl_get_version_fn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  auto rtl_get_version = reinterpret_cast<rtl_get_version_fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  if (rtl_get_version && rtl_get_version(&info) == 0) return true;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)) != 0;
#pragma GCC diagnostic pop
}

const wchar_t product_options_key[] = L"SYSTEM\\CurrentControlSet\\Control\\ProductOptions";
static_assert(sizeof product_options_key / sizeof(wchar_t) - 1 == 47, "ProductOptions key length");

// KUSER_SHARED_DATA: NtProductType at 0x264, ProductTypeIsValid at 0x268.
constexpr uintptr_t shared_user_data = 0x7FFE0000;
}  // namespace

namespace {
os_version_facts facts_of(const OSVERSIONINFOEXW& info) {
  return {info.dwPlatformId,  info.dwMajorVersion, info.dwMinorVersion,
          info.dwBuildNumber, info.wProductType,   GetSystemMetrics(SM_SERVERR2) != 0};
}
}  // namespace

int os_version_index() {
  static const int index = [] {
    OSVERSIONINFOEXW info;
    return query_version(info) ? classify_os_version(facts_of(info)) : 0;
  }();
  return index;
}

const char* os_name() { return os_name_of_index(os_version_index()); }

std::string os_version_string() {
  OSVERSIONINFOEXW info;
  if (!query_version(info)) return format_string("X:%08x", unsigned(GetLastError()));
  const volatile uint8_t* kuser = reinterpret_cast<const volatile uint8_t*>(shared_user_data);
  std::string kernel_type =
      kuser[0x268] ? format_string("%u", unsigned(*reinterpret_cast<const volatile uint32_t*>(kuser + 0x264))) : "x";
  std::wstring text;
  std::string registry_type = "x";
  if (reg_read_string(HKEY_LOCAL_MACHINE, product_options_key, L"ProductType", text, wow64_view(), nullptr)) {
    unsigned code = product_type_code(text);
    if (code) registry_type = format_string("%u", code);
  }
  return os_version_text(facts_of(info), kernel_type, registry_type);
}
