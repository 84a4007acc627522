#pragma once

#include <windows.h>

// The handles this process holds, for tests that look for leaks.
inline DWORD process_handle_count() {
  DWORD n = 0;
  GetProcessHandleCount(GetCurrentProcess(), &n);
  return n;
}
