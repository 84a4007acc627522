#pragma once

#include <windows.h>

#include <string>

#include "toolkit/sfc_gdi.h"
#include "toolkit/sfc_window.h"
#include "toolkit/xfc_support.h"

struct xfc_button_state {
  bool pressed = false;
  bool hover = false;
  bool focused = false;
  bool disabled = false;
};

// An owner-drawn push button on the system's "Button" class: drawn off-screen through draw()
// and blended onto the screen, with hover tracking and an optional cursor of its own.
class xfc_custom_button : public sfc_window {
 public:
  bool create_child(HWND parent, int id, const RECT& rect, const std::wstring& text = std::wstring());
  // The colour behind the button, usually its parent's background.
  void set_background(COLORREF colour);
  // A shared cursor (LoadCursor) shown over the button; null keeps the arrow.
  void set_cursor(HCURSOR cursor) { cursor_ = cursor; }
  // 0 (invisible) to 255 (opaque).
  void set_opacity(BYTE opacity);
  bool hover() const { return hover_.over(); }

 protected:
  virtual void draw(HDC dc, const RECT& client, const xfc_button_state& state) = 0;
  void on_attached() override;
  bool on_message(sfc_msg& m) override;
  COLORREF background() const { return background_; }

 private:
  void paint(HDC target, const xfc_button_state& state);
  xfc_button_state current_state() const;

  COLORREF background_ = RGB(255, 255, 255);
  HCURSOR cursor_ = nullptr;
  BYTE opacity_ = 255;
  xfc_hover hover_;
};

struct xfc_link_colours {
  COLORREF text = RGB(0x00, 0x66, 0xCC);
  COLORREF hover = RGB(0x00, 0x44, 0x99);
  COLORREF disabled = RGB(0xA0, 0xA0, 0xA0);
};

// A link-style button: coloured text, underlined under the mouse, with a hand cursor.
class minor_button : public xfc_custom_button {
 public:
  void set_colours(const xfc_link_colours& colours);
  void set_alignment(UINT format) { align_ = format; }

 protected:
  void on_attached() override;
  void draw(HDC dc, const RECT& client, const xfc_button_state& state) override;
  const xfc_link_colours& colours() const { return colours_; }
  HFONT underlined_font();

 private:
  xfc_link_colours colours_;
  UINT align_ = DT_LEFT;
  sfc_font underlined_;
  HFONT underlined_base_ = nullptr;
};

// The round "?" beside a field: clicking it shows its hint in a balloon until the mouse leaves.
class hint_button : public minor_button {
 public:
  void set_hint(const std::wstring& hint);
  bool hint_shown() const { return hint_shown_; }
  void show_hint(bool shown);

 protected:
  void draw(HDC dc, const RECT& client, const xfc_button_state& state) override;
  bool on_message(sfc_msg& m) override;

 private:
  std::wstring hint_;
  sfc_tooltips tips_;
  bool hint_shown_ = false;
};

// A button that shows an image (straight, not premultiplied, alpha) centred on its background.
class image_button : public xfc_custom_button {
 public:
  // Takes a 32-bit DIB section such as load_png_resource makes.
  bool set_image(const sfc_hbitmap& image);

 protected:
  void draw(HDC dc, const RECT& client, const xfc_button_state& state) override;

 private:
  sfc_bitmap premultiplied_;
  SIZE size_ = {};
};
