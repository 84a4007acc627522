#pragma once

#include <windows.h>

#include "toolkit/sfc_window.h"
#include "toolkit/xfc_support.h"

struct xfc_edit_colours {
  COLORREF background = RGB(255, 255, 255);
  COLORREF disabled_background = RGB(0xF0, 0xF0, 0xF0);
  COLORREF frame = RGB(0xAB, 0xAD, 0xB3);
  COLORREF frame_hot = RGB(0x7E, 0xB4, 0xEA);  // under the mouse
  COLORREF frame_focus = RGB(0x3C, 0x7F, 0xB1);
  COLORREF frame_invalid = RGB(0xD0, 0x30, 0x30);  // a field that needs the user's attention
};

// The client rectangle that keeps one line of `line_height` pixels vertically centred in a
// window rectangle, inside a frame of `frame` pixels and `padding_x` pixels of room on the
// sides. A box too low for the line keeps the whole inner rectangle.
RECT vc_edit_client_rect(const RECT& window, int line_height, int frame, int padding_x);

// An edit box (ES_MULTILINE for one line) that sizes and paints its own non-client area, so
// its text stands vertically centred in a taller box, with a one-pixel frame that shows hover,
// focus and an invalid state.
class xfc_vc_editbox : public sfc_window {
 public:
  void set_colours(const xfc_edit_colours& colours);
  // Marks the field as needing attention (a red frame) or clears it.
  void set_invalid(bool invalid);
  bool invalid() const { return invalid_; }

 protected:
  void on_attached() override;
  bool on_message(sfc_msg& m) override;

 private:
  void measure_line();
  void paint_frame();
  void redraw_frame() const;

  xfc_edit_colours colours_;
  int line_height_ = 16;
  bool invalid_ = false;
  xfc_hover hover_;
};
