#pragma once

#include <windows.h>

// Asks `done` until it says yes or `timeout_ms` has passed; true when it said yes. The last
// answer is always taken after the time is up, so a slow machine still gets one look.
template <typename Check>
bool wait_until(DWORD timeout_ms, Check done) {
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  while (true) {
    const bool expired = GetTickCount64() >= end;
    if (done()) return true;
    if (expired) return false;
    Sleep(40);
  }
}
