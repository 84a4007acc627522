#include "toolkit/sfc_gdi.h"

#include <utility>

bool sfc_font::create(const LOGFONTW& lf) {
  reset();
  font_ = CreateFontIndirectW(&lf);
  return font_ != nullptr;
}

bool sfc_font::create_like(HFONT base, LONG weight, LONG height) {
  LOGFONTW lf{};
  if (!sfc_hfont(base ? base : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))).logfont(lf)) return false;
  lf.lfWeight = weight;
  if (height) lf.lfHeight = height;
  return create(lf);
}

void sfc_font::reset() {
  if (font_) DeleteObject(font_);
  font_ = nullptr;
}

bool sfc_brush::create(COLORREF colour) {
  reset();
  brush_ = CreateSolidBrush(colour);
  colour_ = colour;
  return brush_ != nullptr;
}

void sfc_brush::reset() {
  if (brush_) DeleteObject(brush_);
  brush_ = nullptr;
}

SIZE sfc_hbitmap::size() const {
  BITMAP bm{};
  if (!bitmap_ || !GetObjectW(bitmap_, sizeof bm, &bm)) return {0, 0};
  return {bm.bmWidth, bm.bmHeight};
}

sfc_bitmap& sfc_bitmap::operator=(sfc_bitmap&& other) noexcept {
  if (this != &other) {
    reset();
    bitmap_ = other.bitmap_;
    bits_ = other.bits_;
    other.bitmap_ = nullptr;
    other.bits_ = nullptr;
  }
  return *this;
}

bool sfc_bitmap::create_dib(int width, int height, bool bottom_up) {
  reset();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = bottom_up ? height : -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
  if (!bitmap_) bits_ = nullptr;
  return bitmap_ != nullptr;
}

void sfc_bitmap::reset() {
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  bits_ = nullptr;
}

void sfc_hdc::fill(const RECT& r, COLORREF colour) const {
  // ExtTextOut with an opaque rectangle fills without a brush object.
  const COLORREF old = SetBkColor(dc_, colour);
  ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  SetBkColor(dc_, old);
}

int sfc_hdc::draw_text(const std::wstring& text, RECT& r, UINT format, COLORREF colour) const {
  const COLORREF old_colour = SetTextColor(dc_, colour);
  const int old_mode = SetBkMode(dc_, TRANSPARENT);
  const int height = DrawTextW(dc_, text.c_str(), int(text.size()), &r, format);
  SetBkMode(dc_, old_mode);
  SetTextColor(dc_, old_colour);
  return height;
}

SIZE sfc_hdc::text_extent(const std::wstring& text) const {
  SIZE size{};
  GetTextExtentPoint32W(dc_, text.c_str(), int(text.size()), &size);
  return size;
}

void sfc_hdc::measure_text(const std::wstring& text, RECT& r, UINT format) const {
  DrawTextW(dc_, text.c_str(), int(text.size()), &r, format | DT_CALCRECT);
}

sfc_memory_dc::sfc_memory_dc(HDC like, int width, int height) : width_(width), height_(height) {
  dc_ = CreateCompatibleDC(like);
  if (!dc_ || width <= 0 || height <= 0 || !bitmap_.create_dib(width, height, false)) return;
  old_bitmap_ = SelectObject(dc_, bitmap_.handle());
}

sfc_memory_dc::~sfc_memory_dc() {
  if (old_bitmap_) SelectObject(dc_, old_bitmap_);
  if (dc_) DeleteDC(dc_);
}

void sfc_memory_dc::copy_to(HDC target, int x, int y) const {
  BitBlt(target, x, y, width_, height_, dc_, 0, 0, SRCCOPY);
}

void sfc_memory_dc::blend_to(HDC target, int x, int y, BYTE opacity) const {
  if (opacity == 255) return copy_to(target, x, y);
  BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity, 0};
  AlphaBlend(target, x, y, width_, height_, dc_, 0, 0, width_, height_, blend);
}

sfc_bitmap sfc_memory_dc::take_bitmap() {
  if (old_bitmap_) SelectObject(dc_, old_bitmap_);
  old_bitmap_ = nullptr;
  return std::move(bitmap_);
}
