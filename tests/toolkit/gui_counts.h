#pragma once

#include <windows.h>

#include <functional>

// The GDI objects, windows, menus and handles this process holds. GetGuiResources answers on
// Windows; Wine's is a stub, so there the handle tables are walked instead.
struct gui_counts {
  long gdi = 0, windows = 0, menus = 0, handles = 0;
  bool operator==(const gui_counts& o) const {
    return gdi == o.gdi && windows == o.windows && menus == o.menus && handles == o.handles;
  }
};

// The counts around `rounds` runs of `round`, after a first run has filled the system's caches.
// A cache may grow once more under load, a leak grows every time: a change gets a second chance.
struct leak_counts {
  bool ran = false;  // every round returned true
  gui_counts before, after;
};
leak_counts count_leaks(const std::function<bool()>& round, int rounds);
// GDI objects, windows, menus and handles the same after the rounds as before.
void expect_no_leaks(const leak_counts& c);
