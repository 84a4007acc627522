#include "support/optional_functions.h"

#include "support/api_error.h"
#include "support/text.h"

namespace {
struct function_slot {
  const char* name;
  void** pointer;
};

template <typename Fn>
function_slot slot(const char* name, Fn*& fn) {
  return {name, reinterpret_cast<void**>(&fn)};
}

optional_functions table;
bool loaded = false;

void load_library(const wchar_t* library, std::initializer_list<function_slot> slots, api_error_cb* errors) {
  HMODULE module = GetModuleHandleW(library);
  if (!module) module = LoadLibraryW(library);
  if (!module) {
    if (errors) errors->report_api_error("GetModuleHandle", uint32_t(GetLastError()), library);
    return;
  }
  for (const function_slot& s : slots) *s.pointer = reinterpret_cast<void*>(GetProcAddress(module, s.name));
}
}  // namespace

const optional_functions& load_optional_functions(api_error_cb* errors) {
  if (loaded) return table;
  loaded = true;
  optional_functions& t = table;
  load_library(L"ntdll.dll",
               {slot("NtQueryVolumeInformationFile", t.NtQueryVolumeInformationFile),
                slot("NtSetSystemInformation", t.NtSetSystemInformation), slot("NtFsControlFile", t.NtFsControlFile),
                slot("RtlNtStatusToDosError", t.RtlNtStatusToDosError)},
               errors);
  load_library(
      L"kernel32.dll",
      {slot("IsWow64Process", t.IsWow64Process), slot("GetFileInformationByHandleEx", t.GetFileInformationByHandleEx)},
      errors);
  load_library(L"shell32.dll", {slot("SHCreateItemFromIDList", t.SHCreateItemFromIDList)}, errors);
  load_library(L"cfgmgr32.dll", {slot("CM_Get_DevNode_PropertyW", t.CM_Get_DevNode_PropertyW)}, errors);
  load_library(L"dwmapi.dll", {slot("DwmGetWindowAttribute", t.DwmGetWindowAttribute)}, errors);
  return table;
}

bool is_wow64() {
  const optional_functions& f = load_optional_functions();
  BOOL wow = FALSE;
  return f.IsWow64Process && f.IsWow64Process(GetCurrentProcess(), &wow) && wow;
}

bool is_64bit_os() { return sizeof(void*) == 8 || is_wow64(); }
