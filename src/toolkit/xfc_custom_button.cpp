#include "toolkit/xfc_custom_button.h"

#include <commctrl.h>

#include <algorithm>

bool xfc_custom_button::create_child(HWND parent, int id, const RECT& rect, const std::wstring& text) {
  sfc_create_params p;
  p.class_name = L"Button";
  p.text = text;
  p.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;
  p.rect = rect;
  p.parent = parent;
  p.id = id;
  return create(p);
}

void xfc_custom_button::set_background(COLORREF colour) {
  background_ = colour;
  if (hwnd_) invalidate();
}

void xfc_custom_button::set_opacity(BYTE opacity) {
  opacity_ = opacity;
  if (hwnd_) invalidate();
}

void xfc_custom_button::on_attached() { send(BM_SETSTYLE, BS_OWNERDRAW, TRUE); }

xfc_button_state xfc_custom_button::current_state() const {
  xfc_button_state s;
  s.pressed = (send(BM_GETSTATE) & BST_PUSHED) != 0;
  s.hover = hover_.over();
  s.focused = GetFocus() == hwnd_;
  s.disabled = !enabled();
  return s;
}

void xfc_custom_button::paint(HDC target, const xfc_button_state& state) {
  const RECT client = client_rect();
  sfc_memory_dc buffer(target, client.right, client.bottom);
  if (!buffer.ok()) return;
  {
    const sfc_selection font(buffer.handle(), this->font());
    draw(buffer.handle(), client, state);
  }
  if (opacity_ == 255) return buffer.copy_to(target, 0, 0);
  // A fading button is blended over its background, not over what the screen last showed.
  sfc_memory_dc blended(target, client.right, client.bottom);
  if (!blended.ok()) return;
  blended.fill(client, background_);
  buffer.blend_to(blended.handle(), 0, 0, opacity_);
  blended.copy_to(target, 0, 0);
}

bool xfc_custom_button::on_message(sfc_msg& m) {
  if (xfc_own_painting(m, [this](HDC dc) { paint(dc, current_state()); })) return true;
  switch (m.message) {
    case sfc_reflected + WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(m.lparam);
      xfc_button_state s;
      s.pressed = (item->itemState & ODS_SELECTED) != 0;
      s.focused = (item->itemState & ODS_FOCUS) != 0;
      s.disabled = (item->itemState & ODS_DISABLED) != 0;
      s.hover = hover_.over();
      paint(item->hDC, s);
      m.result = TRUE;
      return true;
    }
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
      if (hover_.track(m)) invalidate();
      return false;
    case WM_SETCURSOR:
      if (!cursor_ || LOWORD(m.lparam) != HTCLIENT) return false;
      SetCursor(cursor_);
      m.result = TRUE;
      return true;
    case BM_SETSTYLE:
      // Dialogs move the default-button style around; the button stays owner-drawn.
      m.result = DefSubclassProc(hwnd_, m.message, (m.wparam & ~WPARAM(BS_TYPEMASK)) | BS_OWNERDRAW, m.lparam);
      invalidate();
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case BM_SETSTATE:
    case WM_CAPTURECHANGED:
      // The system button repaints these changes through its parent; make sure it happens.
      m.result = default_result(m);
      invalidate();
      return true;
    default: return sfc_window::on_message(m);
  }
}

void minor_button::on_attached() {
  xfc_custom_button::on_attached();
  set_cursor(LoadCursorW(nullptr, IDC_HAND));
}

void minor_button::set_colours(const xfc_link_colours& colours) {
  colours_ = colours;
  if (hwnd_) invalidate();
}

HFONT minor_button::underlined_font() {
  const HFONT base = font();
  if (!underlined_.handle() || underlined_base_ != base) {
    LOGFONTW lf{};
    if (sfc_hfont(base ? base : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))).logfont(lf)) {
      lf.lfUnderline = TRUE;
      underlined_.create(lf);
    }
    underlined_base_ = base;
  }
  return underlined_.handle() ? underlined_.handle() : base;
}

void minor_button::draw(HDC dc, const RECT& client, const xfc_button_state& state) {
  const sfc_hdc out(dc);
  out.fill(client, background());
  const COLORREF colour = state.disabled                   ? colours_.disabled
                          : (state.hover || state.pressed) ? colours_.hover
                                                           : colours_.text;
  const sfc_selection font(dc, state.hover && !state.disabled ? underlined_font() : nullptr);
  const std::wstring label = text();
  RECT r = client;
  out.draw_text(label, r, align_ | DT_SINGLELINE | DT_VCENTER, colour);
  if (state.focused && !(SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
    RECT extent = client;
    out.measure_text(label, extent, align_ | DT_SINGLELINE);
    const int height = extent.bottom - extent.top;
    RECT focus = {extent.left, (client.bottom - height) / 2 - 1, extent.right + 1, (client.bottom + height) / 2 + 1};
    if (align_ & DT_RIGHT) OffsetRect(&focus, client.right - extent.right - 1, 0);
    if (align_ & DT_CENTER) OffsetRect(&focus, (client.right - extent.right) / 2, 0);
    IntersectRect(&focus, &focus, &client);
    DrawFocusRect(dc, &focus);
  }
}

void hint_button::set_hint(const std::wstring& hint) {
  hint_ = hint;
  if (hint_shown_) {
    show_hint(false);
    show_hint(true);
  }
}

void hint_button::show_hint(bool shown) {
  if (!hwnd_ || shown == hint_shown_) return;
  if (shown && !tips_.hwnd()) {
    if (!tips_.create(GetAncestor(hwnd_, GA_ROOT), true)) return;
    tips_.set_max_width(360);
  }
  if (shown) {
    tips_.remove_tool(hwnd_);
    tips_.add_tool(hwnd_, hint_, TTF_TRACK | TTF_ABSOLUTE);
    const RECT r = window_rect();
    tips_.track(hwnd_, true, {(r.left + r.right) / 2, r.bottom});
  } else if (tips_.hwnd()) {
    tips_.track(hwnd_, false);
  }
  hint_shown_ = shown;
}

void hint_button::draw(HDC dc, const RECT& client, const xfc_button_state& state) {
  const sfc_hdc out(dc);
  out.fill(client, background());
  const COLORREF colour = state.disabled                 ? colours().disabled
                          : (state.hover || hint_shown_) ? colours().hover
                                                         : colours().text;
  const int side = std::min<int>(client.right, client.bottom) - 2;
  const int left = (client.right - side) / 2, top = (client.bottom - side) / 2;
  const bool filled = state.hover || state.pressed || hint_shown_;
  const sfc_brush fill(filled ? colour : background());
  const sfc_pen pen(PS_SOLID, 1, colour);
  {
    const sfc_selection pen_in(dc, pen.handle()), brush_in(dc, fill.handle());
    Ellipse(dc, left, top, left + side, top + side);
  }
  RECT r = client;
  out.draw_text(L"?", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, filled ? RGB(255, 255, 255) : colour);
}

bool hint_button::on_message(sfc_msg& m) {
  switch (m.message) {
    case WM_LBUTTONUP:
    case WM_KEYUP: {
      const bool toggles = m.message == WM_LBUTTONUP || m.wparam == VK_SPACE;
      const bool handled = minor_button::on_message(m);
      if (toggles) show_hint(!hint_shown_);
      return handled;
    }
    case WM_MOUSELEAVE:
    case WM_KILLFOCUS: show_hint(false); break;
    case WM_DESTROY:
      if (tips_.hwnd()) DestroyWindow(tips_.hwnd());
      tips_.set_hwnd(nullptr);
      hint_shown_ = false;
      break;
    default: break;
  }
  return minor_button::on_message(m);
}

bool image_button::set_image(const sfc_hbitmap& image) {
  premultiplied_.reset();
  const SIZE size = image.size();
  if (size.cx <= 0 || size.cy <= 0) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size.cx;
  info.bmiHeader.biHeight = -size.cy;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  if (!premultiplied_.create_dib(size.cx, size.cy, false)) return false;
  const sfc_window_dc screen(nullptr);
  const int rows =
      GetDIBits(screen.handle(), image.handle(), 0, UINT(size.cy), premultiplied_.bits(), &info, DIB_RGB_COLORS);
  if (rows != size.cy) {
    premultiplied_.reset();
    return false;
  }
  // AlphaBlend with per-pixel alpha wants colours already multiplied by their alpha.
  auto* p = static_cast<uint8_t*>(premultiplied_.bits());
  for (long i = 0; i < long(size.cx) * size.cy; ++i, p += 4)
    for (int c = 0; c < 3; ++c) p[c] = uint8_t((p[c] * p[3] + 127) / 255);
  GdiFlush();
  size_ = size;
  if (hwnd_) invalidate();
  return true;
}

void image_button::draw(HDC dc, const RECT& client, const xfc_button_state& state) {
  const sfc_hdc out(dc);
  COLORREF back = background();
  if (!state.disabled && (state.hover || state.pressed)) back = RGB(0xE5, 0xEC, 0xF5);
  out.fill(client, back);
  if (premultiplied_.handle()) {
    const sfc_bitmap_dc source(dc, premultiplied_.handle());
    const int shift = state.pressed ? 1 : 0;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, BYTE(state.disabled ? 110 : 255), AC_SRC_ALPHA};
    AlphaBlend(dc, (client.right - size_.cx) / 2 + shift, (client.bottom - size_.cy) / 2 + shift, size_.cx, size_.cy,
               source.handle(), 0, 0, size_.cx, size_.cy, blend);
  }
  if (state.focused && !(SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
    RECT focus = client;
    InflateRect(&focus, -1, -1);
    DrawFocusRect(dc, &focus);
  }
}
