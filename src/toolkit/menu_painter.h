#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/sfc_gdi.h"

struct menu_colours {
  COLORREF background = RGB(255, 255, 255);
  COLORREF text = RGB(0x20, 0x20, 0x20);
  COLORREF highlight = RGB(0xE5, 0xEC, 0xF5);
  COLORREF highlight_text = RGB(0, 0, 0);
  COLORREF caption_text = RGB(0x7A, 0x86, 0x96);  // disabled items stand as captions
  COLORREF separator = RGB(0xDD, 0xE1, 0xE6);
  COLORREF check = RGB(0x1B, 0x30, 0x4F);
};

// Draws popup menu items itself: take_over() turns a menu's items owner-drawn, and the
// owner window hands its WM_MEASUREITEM and WM_DRAWITEM for menus to measure() and draw().
// Disabled items are drawn as section captions, not greyed.
class menu_painter {
 public:
  menu_painter();
  void set_colours(const menu_colours& colours) { colours_ = colours; }
  // The items of `menu` and its submenus become owner-drawn; their texts are kept here.
  void take_over(HMENU menu);
  // True when the item is one of this painter's (then the structure is filled or drawn).
  bool measure(MEASUREITEMSTRUCT& item);
  bool draw(const DRAWITEMSTRUCT& item);

 private:
  struct entry {
    const menu_painter* owner;
    std::wstring label;     // before the tab
    std::wstring shortcut;  // after the tab
    bool separator;
  };
  const entry* entry_of(ULONG_PTR data) const;
  HFONT font_for(bool caption);

  std::vector<std::unique_ptr<entry>> entries_;
  menu_colours colours_;
  sfc_font font_;
  sfc_font caption_font_;
};
