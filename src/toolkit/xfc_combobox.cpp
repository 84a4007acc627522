#include "toolkit/xfc_combobox.h"

#include <string>

#include "toolkit/sfc_gdi.h"
#include "toolkit/sfc_hwnd.h"

namespace {
constexpr int text_padding = 6;
constexpr int item_padding = 6;  // added to the font's line height
}  // namespace

void xfc_combobox::set_colours(const xfc_combo_colours& colours) {
  colours_ = colours;
  if (hwnd_) invalidate();
}

void xfc_combobox::on_attached() {
  measure();
  invalidate();
}

void xfc_combobox::measure() {
  const sfc_window_dc dc(hwnd_);
  const sfc_selection font(dc.handle(), this->font());
  TEXTMETRICW metrics{};
  if (GetTextMetricsW(dc.handle(), &metrics)) item_height_ = metrics.tmHeight + item_padding;
  // The list was measured when the control was created, before this object existed.
  send(CB_SETITEMHEIGHT, WPARAM(-1), item_height_);
  send(CB_SETITEMHEIGHT, 0, item_height_);
}

void xfc_combobox::paint_closed(HDC target) {
  const RECT client = client_rect();
  sfc_memory_dc buffer(target, client.right, client.bottom);
  if (!buffer.ok()) return;
  const sfc_selection font(buffer.handle(), this->font());
  const bool disabled = !enabled();
  const bool open = send(CB_GETDROPPEDSTATE) != 0;
  const bool hot = !disabled && (hover_.over() || open || GetFocus() == hwnd_);
  buffer.fill(client, disabled ? colours_.disabled_background : colours_.background);
  const sfc_brush frame(hot ? colours_.frame_hot : colours_.frame);
  FrameRect(buffer.handle(), &client, frame.handle());

  const int arrow_width = GetSystemMetrics(SM_CXVSCROLL);
  const int selection = int(send(CB_GETCURSEL));
  if (selection >= 0) {
    RECT text = {client.left + text_padding, client.top + 1, client.right - arrow_width - 2, client.bottom - 1};
    buffer.draw_text(sfc_hcombobox(hwnd_).item_text(selection), text,
                     DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS,
                     disabled ? colours_.disabled_text : colours_.text);
  }
  // A small downward triangle centred in the arrow area.
  const int cx = client.right - arrow_width / 2 - 1, cy = (client.top + client.bottom) / 2;
  const POINT arrow[3] = {{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 2}};
  const COLORREF arrow_colour = disabled ? colours_.disabled_text : colours_.arrow;
  const sfc_brush arrow_brush(arrow_colour);
  const sfc_pen arrow_pen(PS_SOLID, 1, arrow_colour);
  const sfc_selection brush_in(buffer.handle(), arrow_brush.handle()), pen_in(buffer.handle(), arrow_pen.handle());
  Polygon(buffer.handle(), arrow, 3);
  buffer.copy_to(target, 0, 0);
}

void xfc_combobox::draw_item(const DRAWITEMSTRUCT& item) {
  const RECT& r = item.rcItem;
  sfc_memory_dc buffer(item.hDC, r.right - r.left, r.bottom - r.top);
  if (!buffer.ok()) return;
  const sfc_selection font(buffer.handle(), this->font());
  const RECT local = {0, 0, r.right - r.left, r.bottom - r.top};
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  buffer.fill(local, selected ? colours_.selected_background : colours_.background);
  if (item.itemID != UINT(-1)) {
    RECT text = {text_padding, 0, local.right - 2, local.bottom};
    buffer.draw_text(sfc_hcombobox(hwnd_).item_text(int(item.itemID)), text,
                     DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX,
                     selected ? colours_.selected_text : colours_.text);
  }
  buffer.copy_to(item.hDC, r.left, r.top);
}

bool xfc_combobox::on_message(sfc_msg& m) {
  if (xfc_own_painting(m, [this](HDC dc) { paint_closed(dc); })) return true;
  switch (m.message) {
    case sfc_reflected + WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(m.lparam)->itemHeight = UINT(item_height_);
      m.result = TRUE;
      return true;
    case sfc_reflected + WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(m.lparam);
      // The selection field is this control's own painting; only list items are drawn here.
      if (item->itemState & ODS_COMBOBOXEDIT) invalidate();
      else draw_item(*item);
      m.result = TRUE;
      return true;
    }
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
      if (hover_.track(m)) invalidate();
      return false;
    case WM_SETFONT:
      m.result = default_result(m);
      measure();
      invalidate();
      return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_MOUSEWHEEL:
    case WM_CAPTURECHANGED:
    case CB_SETCURSEL:
    case CB_RESETCONTENT:
    case CB_DELETESTRING:
    case CB_SHOWDROPDOWN:
    case CB_SELECTSTRING:
      m.result = default_result(m);
      invalidate();
      return true;
    default: return sfc_window::on_message(m);
  }
}
