#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Plain wrappers (sfc_hfont, sfc_hdc, sfc_hbitmap) never delete their handle; the owners
// (sfc_font, sfc_bitmap, sfc_brush and the DC classes) release theirs in the destructor.

class sfc_hfont {
 public:
  sfc_hfont() = default;
  explicit sfc_hfont(HFONT font) : font_(font) {}
  HFONT handle() const { return font_; }
  bool logfont(LOGFONTW& lf) const { return font_ && GetObjectW(font_, sizeof lf, &lf) == sizeof lf; }

 protected:
  HFONT font_ = nullptr;
};

class sfc_font : public sfc_hfont {
 public:
  sfc_font() = default;
  ~sfc_font() { reset(); }
  sfc_font(const sfc_font&) = delete;
  sfc_font& operator=(const sfc_font&) = delete;
  bool create(const LOGFONTW& lf);
  // A font like `base` with another weight and, when `height` is not 0, another height.
  bool create_like(HFONT base, LONG weight, LONG height = 0);
  void reset();
};

class sfc_brush {
 public:
  sfc_brush() = default;
  explicit sfc_brush(COLORREF colour) { create(colour); }
  ~sfc_brush() { reset(); }
  sfc_brush(const sfc_brush&) = delete;
  sfc_brush& operator=(const sfc_brush&) = delete;
  bool create(COLORREF colour);
  void reset();
  HBRUSH handle() const { return brush_; }
  COLORREF colour() const { return colour_; }

 private:
  HBRUSH brush_ = nullptr;
  COLORREF colour_ = 0;
};

class sfc_pen {
 public:
  sfc_pen(int style, int width, COLORREF colour) : pen_(CreatePen(style, width, colour)) {}
  ~sfc_pen() {
    if (pen_) DeleteObject(pen_);
  }
  sfc_pen(const sfc_pen&) = delete;
  sfc_pen& operator=(const sfc_pen&) = delete;
  HPEN handle() const { return pen_; }

 private:
  HPEN pen_;
};

class sfc_hbitmap {
 public:
  sfc_hbitmap() = default;
  explicit sfc_hbitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
  HBITMAP handle() const { return bitmap_; }
  SIZE size() const;

 protected:
  HBITMAP bitmap_ = nullptr;
};

class sfc_bitmap : public sfc_hbitmap {
 public:
  sfc_bitmap() = default;
  ~sfc_bitmap() { reset(); }
  sfc_bitmap(const sfc_bitmap&) = delete;
  sfc_bitmap& operator=(const sfc_bitmap&) = delete;
  sfc_bitmap(sfc_bitmap&& other) noexcept : sfc_hbitmap(other.bitmap_), bits_(other.bits_) {
    other.bitmap_ = nullptr, other.bits_ = nullptr;
  }
  sfc_bitmap& operator=(sfc_bitmap&& other) noexcept;
  // A 32-bit DIB section, bottom-up (positive height) or top-down; its pixels are bits().
  bool create_dib(int width, int height, bool bottom_up);
  void reset();
  void* bits() const { return bits_; }

 private:
  void* bits_ = nullptr;
};

// Selects an object into a DC and puts the previous one back when it goes.
class sfc_selection {
 public:
  sfc_selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
  ~sfc_selection() {
    if (old_) SelectObject(dc_, old_);
  }
  sfc_selection(const sfc_selection&) = delete;
  sfc_selection& operator=(const sfc_selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

class sfc_hdc {
 public:
  sfc_hdc() = default;
  explicit sfc_hdc(HDC dc) : dc_(dc) {}
  HDC handle() const { return dc_; }
  void fill(const RECT& r, COLORREF colour) const;
  // DrawText with the given colour and a transparent background; returns the text height.
  int draw_text(const std::wstring& text, RECT& r, UINT format, COLORREF colour) const;
  SIZE text_extent(const std::wstring& text) const;
  // Measures wrapped text: r.right limits the width on entry; both edges are set on return.
  void measure_text(const std::wstring& text, RECT& r, UINT format) const;

 protected:
  HDC dc_ = nullptr;
};

class sfc_paint_dc : public sfc_hdc {
 public:
  explicit sfc_paint_dc(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &paint_); }
  ~sfc_paint_dc() { EndPaint(hwnd_, &paint_); }
  sfc_paint_dc(const sfc_paint_dc&) = delete;
  sfc_paint_dc& operator=(const sfc_paint_dc&) = delete;
  const RECT& dirty() const { return paint_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_{};
};

// The client area's DC, or the whole window's with `whole_window`.
class sfc_window_dc : public sfc_hdc {
 public:
  explicit sfc_window_dc(HWND hwnd, bool whole_window = false) : hwnd_(hwnd) {
    dc_ = whole_window ? GetWindowDC(hwnd) : GetDC(hwnd);
  }
  ~sfc_window_dc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  sfc_window_dc(const sfc_window_dc&) = delete;
  sfc_window_dc& operator=(const sfc_window_dc&) = delete;

 private:
  HWND hwnd_;
};

// A memory DC with an existing bitmap selected into it, to draw from or into that bitmap.
class sfc_bitmap_dc : public sfc_hdc {
 public:
  sfc_bitmap_dc(HDC like, HBITMAP bitmap) {
    dc_ = CreateCompatibleDC(like);
    if (dc_) old_bitmap_ = SelectObject(dc_, bitmap);
  }
  ~sfc_bitmap_dc() {
    if (old_bitmap_) SelectObject(dc_, old_bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  sfc_bitmap_dc(const sfc_bitmap_dc&) = delete;
  sfc_bitmap_dc& operator=(const sfc_bitmap_dc&) = delete;

 private:
  HGDIOBJ old_bitmap_ = nullptr;
};

// Off-screen drawing: a DC compatible with another one and a 32-bit top-down DIB section of
// the given size selected into it.
class sfc_memory_dc : public sfc_hdc {
 public:
  sfc_memory_dc(HDC like, int width, int height);
  ~sfc_memory_dc();
  sfc_memory_dc(const sfc_memory_dc&) = delete;
  sfc_memory_dc& operator=(const sfc_memory_dc&) = delete;
  bool ok() const { return dc_ && bitmap_.handle(); }
  int width() const { return width_; }
  int height() const { return height_; }
  // Pixels as 0xAARRGGBB, row by row from the top.
  uint32_t* pixels() const { return static_cast<uint32_t*>(bitmap_.bits()); }
  void copy_to(HDC target, int x, int y) const;
  // Blends onto `target` with a constant opacity (255 copies).
  void blend_to(HDC target, int x, int y, BYTE opacity) const;
  // Hands the bitmap over (deselected); the DC is of no further use.
  sfc_bitmap take_bitmap();

 private:
  sfc_bitmap bitmap_;
  HGDIOBJ old_bitmap_ = nullptr;
  int width_ = 0, height_ = 0;
};
