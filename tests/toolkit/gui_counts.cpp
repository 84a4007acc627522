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

gui_counts settled_gui_counts() {
  gui_counts least = count_gui_objects();
  for (int i = 0; i < 20; ++i) {
    Sleep(10);
    const gui_counts now = count_gui_objects();
    least.gdi = std::min(least.gdi, now.gdi);
    least.windows = std::min(least.windows, now.windows);
    least.menus = std::min(least.menus, now.menus);
  }
  return least;
}

// Wine's own threads open and close handles in this process now and then: the least of a few
// counts is what the rounds keep, and a leak keeps its handles through every count.
static DWORD settled_handle_count() {
  DWORD least = process_handle_count();
  for (int i = 0; i < 20; ++i) {
    Sleep(10);
    least = std::min(least, process_handle_count());
  }
  return least;
}

leak_counts count_leaks(const std::function<bool()>& round, int rounds) {
  leak_counts c;
  const auto run = [&] {
    for (int i = 0; i < rounds; ++i)
      if (!round()) return false;
    return true;
  };
  if (!round()) return c;
  c.gui_before = settled_gui_counts();
  c.handles_before = settled_handle_count();
  c.ran = run();
  c.gui_after = settled_gui_counts();
  c.handles_after = settled_handle_count();
  if (c.ran && !(c.gui_after == c.gui_before && c.handles_after == c.handles_before)) {
    c.gui_before = c.gui_after;
    c.handles_before = c.handles_after;
    c.ran = run();
    c.gui_after = settled_gui_counts();
    c.handles_after = settled_handle_count();
  }
  return c;
}

void expect_no_leaks(const leak_counts& c) {
  EXPECT_TRUE(c.ran);
  EXPECT_GT(c.gui_before.gdi, 0);
  EXPECT_EQ(c.gui_after.gdi, c.gui_before.gdi);
  EXPECT_EQ(c.gui_after.windows, c.gui_before.windows);
  EXPECT_EQ(c.gui_after.menus, c.gui_before.menus);
  EXPECT_EQ(c.handles_after, c.handles_before);
}
