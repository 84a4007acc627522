#pragma once

#include <windows.h>

#include <vector>

// The handles this process holds, for tests that look for leaks. Wine's GetProcessHandleCount
// answers 0 whatever the process holds, so where it does the count comes from the system's
// handle list, whose entries begin with the owner's process id.
inline DWORD process_handle_count() {
  DWORD n = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &n) && n != 0) return n;
  using query_fn = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
  const auto query =
      reinterpret_cast<query_fn>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation"));
  struct entry {
    ULONG owner;
    UCHAR type, flags;
    USHORT value;
    void* object;
    ACCESS_MASK access;
  };
  static_assert(sizeof(entry) == 8 + 2 * sizeof(void*), "one entry of the system's handle list");
  constexpr int system_handle_information = 16;
  constexpr LONG length_mismatch = LONG(0xC0000004);
  std::vector<char> list(1 << 20);
  ULONG length = 0;
  LONG status = 0;
  while (query &&
         (status = query(system_handle_information, list.data(), ULONG(list.size()), &length)) == length_mismatch)
    list.resize(list.size() * 2);
  if (!query || status != 0) return 0;
  const ULONG count = *reinterpret_cast<const ULONG*>(list.data());
  const auto* entries = reinterpret_cast<const entry*>(list.data() + sizeof(void*));
  const DWORD me = GetCurrentProcessId();
  for (ULONG i = 0; i < count; ++i) n += entries[i].owner == me;
  return n;
}
