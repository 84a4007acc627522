#include "gui_counts.h"

#include <cstdint>

namespace {
// Wine accepts a handle with a zero upper word for any generation of that table slot.
long scan_gdi_handles() {
  long n = 0;
  for (uintptr_t i = 1; i < 0x10000; ++i)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(i))) ++n;
  return n;
}

long scan_menu_handles() {
  long n = 0;
  for (uintptr_t i = 0x20; i < 0x10000; i += 2)
    if (IsMenu(reinterpret_cast<HMENU>(i))) ++n;
  return n;
}

BOOL CALLBACK count_child(HWND, LPARAM counter) {
  ++*reinterpret_cast<long*>(counter);
  return TRUE;
}

BOOL CALLBACK count_top_level(HWND hwnd, LPARAM counter) {
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  ++*reinterpret_cast<long*>(counter);
  EnumChildWindows(hwnd, count_child, counter);
  return TRUE;
}
}  // namespace

gui_counts count_gui_objects() {
  gui_counts c;
  const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  c.gdi = gdi ? long(gdi) : scan_gdi_handles();
  const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  if (user) {
    c.windows = long(user);
  } else {
    EnumWindows(count_top_level, reinterpret_cast<LPARAM>(&c.windows));
    c.menus = scan_menu_handles();
  }
  return c;
}
