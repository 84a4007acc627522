#include "ui/raw_results.h"

#include <commctrl.h>

#include "results/raw_texts.h"
#include "ui/gdi_text_measure.h"

namespace {
// Padded numbers line up only in a fixed-pitch face; the mapper finds one where this is missing.
const wchar_t row_face[] = L"Consolas";

std::wstring header_item_text(HWND header, int index) {
  wchar_t text[128] = {};
  HDITEMW item{};
  item.mask = HDI_TEXT;
  item.pszText = text;
  item.cchTextMax = int(sizeof text / sizeof text[0]);
  SendMessageW(header, HDM_GETITEMW, WPARAM(index), reinterpret_cast<LPARAM>(&item));
  return text;
}
}  // namespace

HFONT raw_results::make_row_fonts(HFONT given) {
  if (given && given == rows_.handle()) return given;  // the list's own font handed back
  given_ = given;
  LOGFONTW lf{};
  if (!sfc_hfont(given ? given : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))).logfont(lf)) return given;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(lf.lfFaceName, row_face, LF_FACESIZE);
  lf.lfWeight = FW_NORMAL;
  if (!rows_.create(lf)) return given;
  lf.lfWeight = FW_BOLD;
  if (!bold_rows_.create(lf)) bold_rows_.create_like(rows_.handle(), FW_BOLD);
  return rows_.handle();
}

void raw_results::on_attached() {
  const sfc_hlistview list(hwnd_);
  setting_row_font_ = true;
  send(WM_SETFONT, reinterpret_cast<WPARAM>(make_row_fonts(font())), FALSE);
  setting_row_font_ = false;
  list.set_extended_style(raw_list_ex_styles, raw_list_ex_styles);
  for (int i = 0; i < raw_column_count; ++i) list.insert_column(i, raw_columns[i].title, 0);
  fit_columns();
}

void raw_results::fit_columns() {
  const sfc_hlistview list(hwnd_);
  const sfc_window_dc dc(hwnd_);
  const HFONT font = rows_.handle() ? rows_.handle() : this->font();
  gdi_text_measure measure(dc.handle(), font, font);
  const auto widths = raw_column_widths(measure, client_rect().right);
  for (int i = 0; i < raw_column_count; ++i)
    if (list.column_width(i) != widths[size_t(i)]) list.set_column_width(i, widths[size_t(i)]);
}

bool raw_results::at_end() const {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  const bool bar = (style() & WS_VSCROLL) != 0;
  if (bar && !GetScrollInfo(hwnd_, SB_VERT, &info)) return true;
  return list_at_end(bar, info.nPos, info.nMax, int(info.nPage));
}

void raw_results::clear() {
  sfc_hlistview(hwnd_).clear();
  ShowScrollBar(hwnd_, SB_VERT, TRUE);
  fit_columns();
}

void raw_results::add_rows(const raw_rows& rows, size_t first) {
  const sfc_hlistview list(hwnd_);
  const bool follow = at_end();
  // Rows come only at the end; a list that has more than `first` items is brought back to it.
  while (size_t(list.count()) > first) list.send(LVM_DELETEITEM, WPARAM(list.count() - 1));
  for (size_t i = size_t(list.count()); i < rows.size(); ++i) {
    const raw_row& row = rows.rows()[i];
    const int index = list.insert_item(int(i), row.buffers, LPARAM(row.style));
    list.set_item_text(index, 1, row.mode);
    list.set_item_text(index, 2, row.rate);
    if (follow) list.ensure_visible(index);
  }
  fit_columns();
}

void raw_results::scroll_to_row(size_t row) {
  sfc_hlistview(hwnd_).ensure_visible(int(row));
  fit_columns();
}

size_t raw_results::fit_whole_rows() {
  const sfc_hlistview list(hwnd_);
  const int probe = list.insert_item(list.count(), L"probe");
  const RECT row = list.item_rect(probe);
  const RECT top = list.item_rect(list.top_index());
  list.send(LVM_DELETEITEM, WPARAM(probe));
  const int row_height = row.bottom - row.top;
  const RECT client = client_rect();
  const size_t rows = rows_per_page(client.bottom, top.top, row_height);
  if (rows == 0) return 0;
  const int extra = client.bottom - (top.top + int(rows) * row_height);
  RECT r = rect_in_parent();
  r.bottom -= extra;
  move(r);
  return rows;
}

LRESULT raw_results::item_custom_draw(NMLVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      const raw_cell_look look = raw_cell_style(uint8_t(draw.nmcd.lItemlParam), draw.nmcd.dwItemSpec, draw.iSubItem);
      draw.clrText = look.text;
      draw.clrTextBk = look.background;
      const HFONT bold = bold_rows_.handle() ? bold_rows_.handle() : font();
      SelectObject(draw.nmcd.hdc, look.bold ? bold : font());
      return CDRF_NEWFONT;
    }
    case CDDS_ITEMPOSTPAINT: {
      const raw_cell_look look = raw_cell_style(uint8_t(draw.nmcd.lItemlParam), draw.nmcd.dwItemSpec, 0);
      if (look.separator == no_colour) return CDRF_DODEFAULT;
      const RECT r = sfc_hlistview(hwnd_).item_rect(int(draw.nmcd.dwItemSpec));
      sfc_hdc(draw.nmcd.hdc).fill({r.left, r.bottom - 1, r.right, r.bottom}, look.separator);
      return CDRF_DODEFAULT;
    }
    default: return CDRF_DODEFAULT;
  }
}

LRESULT raw_results::header_custom_draw(NMCUSTOMDRAW& draw) {
  if (draw.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  const sfc_hdc out(draw.hdc);
  const raw_list_palette& p = raw_list_colours;
  RECT r = draw.rc;
  out.fill(r, p.header_background);
  out.fill({r.right - 1, r.top + 3, r.right, r.bottom - 3}, p.separator);
  out.fill({r.left, r.bottom - 1, r.right, r.bottom}, p.separator);
  // The titles bring their own leading blank; the columns are sized to their rows, in the list's
  // font, so the titles are drawn in it too and clipped rather than shortened.
  r.left += 2;
  const sfc_selection font(draw.hdc, given_ ? given_ : this->font());
  out.draw_text(header_item_text(draw.hdr.hwndFrom, int(draw.dwItemSpec)), r,
                DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, p.header_text);
  return CDRF_SKIPDEFAULT;
}

bool raw_results::on_message(sfc_msg& m) {
  switch (m.message) {
    case sfc_reflected + WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(m.lparam);
      if (header->code != NM_CUSTOMDRAW) break;
      m.result = item_custom_draw(*reinterpret_cast<NMLVCUSTOMDRAW*>(m.lparam));
      return true;
    }
    case WM_NOTIFY: {
      // The column header is this list's child: its drawing comes here, not to the dialog.
      auto* header = reinterpret_cast<NMHDR*>(m.lparam);
      if (header->code != NM_CUSTOMDRAW || header->hwndFrom != sfc_hlistview(hwnd_).header().hwnd()) break;
      m.result = header_custom_draw(*reinterpret_cast<NMCUSTOMDRAW*>(m.lparam));
      return true;
    }
    case WM_SETFONT:
      if (setting_row_font_) break;
      // The owner's font stays the header's; the rows take the fixed-pitch face of its size.
      m.wparam = reinterpret_cast<WPARAM>(make_row_fonts(reinterpret_cast<HFONT>(m.wparam)));
      m.result = default_result(m);
      fit_columns();
      return true;
    case WM_SIZE:
      m.result = default_result(m);
      fit_columns();
      return true;
    default: break;
  }
  return sfc_window::on_message(m);
}
