#pragma once

#include <windows.h>

#include <functional>

// The GDI objects, windows and menus this process holds. GetGuiResources answers on Windows;
// Wine's is a stub, so there the handle tables are walked instead.
struct gui_counts {
  long gdi = 0;
  long windows = 0;
  long menus = 0;
  bool operator==(const gui_counts& o) const { return gdi == o.gdi && windows == o.windows && menus == o.menus; }
};

gui_counts count_gui_objects();

// Painting holds objects for a moment, and timers paint while another thread counts: what the
// windows keep is the least of a few counts.
gui_counts settled_gui_counts();

// The counts around `rounds` runs of `round`, after a first run has filled the system's caches.
// A cache may grow once more under load, a leak grows every time: a change gets a second chance.
struct leak_counts {
  bool ran = false;  // every round returned true
  gui_counts gui_before, gui_after;
  DWORD handles_before = 0, handles_after = 0;
};
leak_counts count_leaks(const std::function<bool()>& round, int rounds);
// GDI objects, windows, menus and handles the same after the rounds as before.
void expect_no_leaks(const leak_counts& c);
