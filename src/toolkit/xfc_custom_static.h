#pragma once

#include <windows.h>

#include <string>

#include "toolkit/sfc_gdi.h"
#include "toolkit/sfc_window.h"

// An owner-drawn static control: every paint, print or reflected draw request is drawn
// off-screen through draw() and copied to the screen in one step, so it never flickers.
class xfc_custom_static : public sfc_window {
 public:
  // Creates an owner-drawn "Static" child bound to this object.
  bool create_child(HWND parent, int id, const RECT& rect, const std::wstring& text = std::wstring(),
                    DWORD extra_style = 0);

 protected:
  // Draws the whole control into `dc` (an off-screen bitmap of the control's size).
  virtual void draw(HDC dc, const RECT& client) = 0;
  void on_attached() override;
  bool on_message(sfc_msg& m) override;
  void paint(HDC target);
};

struct xfc_text_style {
  COLORREF text = RGB(0, 0, 0);
  COLORREF background = RGB(255, 255, 255);
  COLORREF frame = CLR_NONE;      // a one-pixel frame, none by default
  COLORREF underline = CLR_NONE;  // a line along the bottom, none by default
  COLORREF disabled_text = RGB(0x80, 0x80, 0x80);
  UINT format = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;
  int padding_x = 0;
  int padding_y = 0;
  bool bold = false;
  bool hand_cursor = false;
};

// The section headers of the dialogs: bold, in the accent colour, underlined by a thin line.
xfc_text_style xfc_header_style(COLORREF background = RGB(255, 255, 255));

// Text with its own font, colours and alignment.
class xfc_text : public xfc_custom_static {
 public:
  void set_style(const xfc_text_style& style);
  const xfc_text_style& style() const { return style_; }
  // A font of the caller's that outlives the control; null uses the control's own.
  void set_text_font(HFONT font);

 protected:
  void draw(HDC dc, const RECT& client) override;
  bool on_message(sfc_msg& m) override;

 private:
  HFONT text_font();
  xfc_text_style style_;
  HFONT font_ = nullptr;
  sfc_font bold_font_;  // made from the font in use when the style asks for bold
  HFONT bold_base_ = nullptr;
};

// A horizontal line across the control, centred vertically.
class xfc_separator : public xfc_custom_static {
 public:
  void set_colours(COLORREF line, COLORREF background) {
    line_ = line;
    background_ = background;
    invalidate();
  }

 protected:
  void draw(HDC dc, const RECT& client) override;

 private:
  COLORREF line_ = RGB(0xD5, 0xDA, 0xE1);
  COLORREF background_ = RGB(255, 255, 255);
};
