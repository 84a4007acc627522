#include "toolkit/xfc_custom_static.h"

#include "toolkit/xfc_support.h"

bool xfc_custom_static::create_child(HWND parent, int id, const RECT& rect, const std::wstring& text,
                                     DWORD extra_style) {
  sfc_create_params p;
  p.class_name = L"Static";
  p.text = text;
  p.style = WS_CHILD | WS_VISIBLE | SS_OWNERDRAW | extra_style;
  p.rect = rect;
  p.parent = parent;
  p.id = id;
  return create(p);
}

void xfc_custom_static::on_attached() {
  // Keep SS_NOTIFY and the other flags; only the kind of static changes.
  change_style(SS_OWNERDRAW, SS_TYPEMASK);
  invalidate();
}

void xfc_custom_static::paint(HDC target) {
  const RECT client = client_rect();
  sfc_memory_dc buffer(target, client.right, client.bottom);
  if (!buffer.ok()) return;
  const sfc_selection font(buffer.handle(), this->font());
  draw(buffer.handle(), client);
  buffer.copy_to(target, 0, 0);
}

bool xfc_custom_static::on_message(sfc_msg& m) {
  if (xfc_own_painting(m, [this](HDC dc) { paint(dc); })) return true;
  switch (m.message) {
    case sfc_reflected + WM_DRAWITEM:
      paint(reinterpret_cast<const DRAWITEMSTRUCT*>(m.lparam)->hDC);
      m.result = TRUE;
      return true;
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_SETFONT:
      m.result = default_result(m);
      invalidate();
      return true;
    default: return sfc_window::on_message(m);
  }
}

xfc_text_style xfc_header_style(COLORREF background) {
  xfc_text_style s;
  s.text = RGB(0x1B, 0x30, 0x4F);
  s.background = background;
  s.underline = RGB(0xC8, 0xD0, 0xDC);
  s.format = DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  s.bold = true;
  return s;
}

void xfc_text::set_style(const xfc_text_style& style) {
  style_ = style;
  if (hwnd_) invalidate();
}

void xfc_text::set_text_font(HFONT font) {
  font_ = font;
  if (hwnd_) invalidate();
}

HFONT xfc_text::text_font() {
  const HFONT base = font_ ? font_ : font();
  if (!style_.bold) return base;
  if (!bold_font_.handle() || bold_base_ != base) {
    bold_font_.create_like(base, FW_BOLD);
    bold_base_ = base;
  }
  return bold_font_.handle() ? bold_font_.handle() : base;
}

void xfc_text::draw(HDC dc, const RECT& client) {
  const sfc_hdc out(dc);
  out.fill(client, style_.background);
  if (style_.underline != CLR_NONE)
    out.fill({client.left, client.bottom - 1, client.right, client.bottom}, style_.underline);
  if (style_.frame != CLR_NONE) {
    const sfc_brush frame(style_.frame);
    FrameRect(dc, &client, frame.handle());
  }
  RECT r = {client.left + style_.padding_x, client.top + style_.padding_y, client.right - style_.padding_x,
            client.bottom - style_.padding_y};
  const sfc_selection font(dc, text_font());
  out.draw_text(text(), r, style_.format, enabled() ? style_.text : style_.disabled_text);
}

bool xfc_text::on_message(sfc_msg& m) {
  // A static lets the mouse through to its parent unless it is to show its own cursor.
  if (m.message == WM_NCHITTEST && style_.hand_cursor) {
    m.result = HTCLIENT;
    return true;
  }
  if (m.message == WM_SETCURSOR && style_.hand_cursor) {
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    m.result = TRUE;
    return true;
  }
  return xfc_custom_static::on_message(m);
}

void xfc_separator::draw(HDC dc, const RECT& client) {
  const sfc_hdc out(dc);
  out.fill(client, background_);
  const int y = (client.top + client.bottom) / 2;
  out.fill({client.left, y, client.right, y + 1}, line_);
}
