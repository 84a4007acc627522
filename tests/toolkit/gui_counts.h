#pragma once

#include <windows.h>

// The GDI objects, windows and menus this process holds. GetGuiResources answers on Windows;
// Wine's is a stub, so there the handle tables are walked instead.
struct gui_counts {
  long gdi = 0;
  long windows = 0;
  long menus = 0;
  bool operator==(const gui_counts& o) const { return gdi == o.gdi && windows == o.windows && menus == o.menus; }
};

gui_counts count_gui_objects();
