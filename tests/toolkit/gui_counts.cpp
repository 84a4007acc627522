#include "gui_counts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "handle_count.h"

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
gui_counts count_now() {
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
  c.handles = long(process_handle_count());
  return c;
}

// Painting holds objects for a moment, timers paint while another thread counts, and Wine's own
// threads open and close handles in this process now and then: what the windows keep is the least
// of a few counts, and a leak keeps its objects through every count.
gui_counts settled_counts() {
  gui_counts least = count_now();
  for (int i = 0; i < 20; ++i) {
    Sleep(10);
    const gui_counts now = count_now();
    least = {std::min(least.gdi, now.gdi), std::min(least.windows, now.windows), std::min(least.menus, now.menus),
             std::min(least.handles, now.handles)};
  }
  return least;
}
}  // namespace

leak_counts count_leaks(const std::function<bool()>& round, int rounds) {
  leak_counts c;
  const auto run = [&] {
    for (int i = 0; i < rounds; ++i)
      if (!round()) return false;
    return true;
  };
  if (!round()) return c;
  c.before = settled_counts();
  c.ran = run();
  c.after = settled_counts();
  if (c.ran && !(c.after == c.before)) {
    c.before = c.after;
    c.ran = run();
    c.after = settled_counts();
  }
  return c;
}

void expect_no_leaks(const leak_counts& c) {
  EXPECT_TRUE(c.ran);
  EXPECT_GT(c.before.gdi, 0);
  EXPECT_EQ(c.after.gdi, c.before.gdi);
  EXPECT_EQ(c.after.windows, c.before.windows);
  EXPECT_EQ(c.after.menus, c.before.menus);
  EXPECT_EQ(c.after.handles, c.before.handles);
}
