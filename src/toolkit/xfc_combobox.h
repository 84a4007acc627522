#pragma once

#include <windows.h>

#include "toolkit/sfc_window.h"
#include "toolkit/xfc_support.h"

struct xfc_combo_colours {
  COLORREF background = RGB(255, 255, 255);
  COLORREF disabled_background = RGB(0xF0, 0xF0, 0xF0);
  COLORREF text = RGB(0, 0, 0);
  COLORREF disabled_text = RGB(0x80, 0x80, 0x80);
  COLORREF frame = RGB(0xAB, 0xAD, 0xB3);
  COLORREF frame_hot = RGB(0x3C, 0x7F, 0xB1);  // under the mouse, focused or open
  COLORREF selected_background = RGB(0x3C, 0x7F, 0xB1);
  COLORREF selected_text = RGB(255, 255, 255);
  COLORREF arrow = RGB(0x40, 0x40, 0x40);
};

// An owner-drawn drop-down list (CBS_DROPDOWNLIST with CBS_OWNERDRAWFIXED and CBS_HASSTRINGS
// in its template): it measures and draws its list items and paints its closed state itself.
class xfc_combobox : public sfc_window {
 public:
  void set_colours(const xfc_combo_colours& colours);
  int item_height() const { return item_height_; }

 protected:
  void on_attached() override;
  bool on_message(sfc_msg& m) override;

 private:
  void measure();
  void paint_closed(HDC target);
  void draw_item(const DRAWITEMSTRUCT& item);

  xfc_combo_colours colours_;
  int item_height_ = 18;
  xfc_hover hover_;
};
