#include "toolkit/xfc_vc_editbox.h"

#include "toolkit/sfc_gdi.h"

namespace {
constexpr int frame_width = 1;
constexpr int side_padding = 3;
}  // namespace

RECT vc_edit_client_rect(const RECT& window, int line_height, int frame, int padding_x) {
  RECT inner = {window.left + frame + padding_x, window.top + frame, window.right - frame - padding_x,
                window.bottom - frame};
  if (inner.right < inner.left) inner.right = inner.left;
  if (inner.bottom < inner.top) inner.bottom = inner.top;
  const int room = inner.bottom - inner.top;
  if (line_height <= 0 || line_height >= room) return inner;
  inner.top += (room - line_height) / 2;
  inner.bottom = inner.top + line_height;
  return inner;
}

void xfc_vc_editbox::set_colours(const xfc_edit_colours& colours) {
  colours_ = colours;
  if (hwnd_) redraw_frame();
}

void xfc_vc_editbox::set_invalid(bool invalid) {
  if (invalid_ == invalid) return;
  invalid_ = invalid;
  if (hwnd_) redraw_frame();
}

void xfc_vc_editbox::on_attached() {
  measure_line();
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void xfc_vc_editbox::measure_line() {
  const sfc_window_dc dc(hwnd_);
  const sfc_selection font(dc.handle(), this->font());
  TEXTMETRICW metrics{};
  if (GetTextMetricsW(dc.handle(), &metrics)) line_height_ = metrics.tmHeight;
}

void xfc_vc_editbox::redraw_frame() const {
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

void xfc_vc_editbox::paint_frame() {
  const sfc_window_dc dc(hwnd_, true);
  RECT window = window_rect();
  RECT client = client_rect();
  MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  OffsetRect(&window, -window.left, -window.top);
  ExcludeClipRect(dc.handle(), client.left, client.top, client.right, client.bottom);
  const bool disabled = !enabled() || (style() & ES_READONLY);
  dc.fill(window, disabled ? colours_.disabled_background : colours_.background);
  const COLORREF frame = invalid_              ? colours_.frame_invalid
                         : GetFocus() == hwnd_ ? colours_.frame_focus
                         : hover_.over()       ? colours_.frame_hot
                                               : colours_.frame;
  const sfc_brush brush(frame);
  FrameRect(dc.handle(), &window, brush.handle());
}

bool xfc_vc_editbox::on_message(sfc_msg& m) {
  switch (m.message) {
    case WM_NCCALCSIZE: {
      RECT* proposed =
          m.wparam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(m.lparam)->rgrc[0] : reinterpret_cast<RECT*>(m.lparam);
      *proposed = vc_edit_client_rect(*proposed, line_height_, frame_width, side_padding);
      m.result = 0;
      return true;
    }
    case WM_NCPAINT:
      paint_frame();
      m.result = 0;
      return true;
    case WM_NCHITTEST: {
      // The padding above and below the text belongs to the text: a click there edits.
      const RECT r = window_rect();
      const POINT p = {short(LOWORD(m.lparam)), short(HIWORD(m.lparam))};
      if (!PtInRect(&r, p)) return false;
      m.result = HTCLIENT;
      return true;
    }
    case WM_SETFONT:
      m.result = default_result(m);
      measure_line();
      SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return true;
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
      if (hover_.track(m)) redraw_frame();
      return false;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case EM_SETREADONLY:
      m.result = default_result(m);
      redraw_frame();
      return true;
    default: return sfc_window::on_message(m);
  }
}
