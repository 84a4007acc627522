#include "toolkit/menu_painter.h"

#include <algorithm>
#include <iterator>

namespace {
constexpr int gutter = 24;  // room for the check mark on the left
constexpr int side_padding = 12;
constexpr int shortcut_gap = 24;
constexpr int separator_height = 7;
}  // namespace

menu_painter::menu_painter() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
    font_.create(metrics.lfMenuFont);
    LOGFONTW caption = metrics.lfMenuFont;
    caption.lfWeight = FW_BOLD;
    caption_font_.create(caption);
  }
}

HFONT menu_painter::font_for(bool caption) {
  const HFONT font = caption ? caption_font_.handle() : font_.handle();
  return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void menu_painter::take_over(HMENU menu) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU | MIIM_DATA;
    info.dwTypeData = text;
    info.cch = UINT(std::size(text) - 1);
    if (!GetMenuItemInfoW(menu, UINT(i), TRUE, &info)) continue;
    if (info.hSubMenu) take_over(info.hSubMenu);
    if (entry_of(info.dwItemData)) continue;  // already ours
    auto e = std::make_unique<entry>();
    e->owner = this;
    e->separator = (info.fType & MFT_SEPARATOR) != 0;
    const std::wstring whole(text);
    const size_t tab = whole.find(L'\t');
    e->label = whole.substr(0, tab);
    if (tab != std::wstring::npos) e->shortcut = whole.substr(tab + 1);
    MENUITEMINFOW change{};
    change.cbSize = sizeof change;
    change.fMask = MIIM_FTYPE | MIIM_DATA;
    change.fType = (info.fType & ~MFT_STRING) | MFT_OWNERDRAW;
    change.dwItemData = reinterpret_cast<ULONG_PTR>(e.get());
    if (SetMenuItemInfoW(menu, UINT(i), TRUE, &change)) entries_.push_back(std::move(e));
  }
}

const menu_painter::entry* menu_painter::entry_of(ULONG_PTR data) const {
  const auto* e = reinterpret_cast<const entry*>(data);
  for (const auto& owned : entries_)
    if (owned.get() == e) return e;
  return nullptr;
}

bool menu_painter::measure(MEASUREITEMSTRUCT& item) {
  if (item.CtlType != ODT_MENU) return false;
  const entry* e = entry_of(item.itemData);
  if (!e) return false;
  if (e->separator) {
    item.itemWidth = 1;
    item.itemHeight = separator_height;
    return true;
  }
  const sfc_window_dc screen(nullptr);
  // Captions are bold: measuring both keeps a caption from widening the menu when it is disabled.
  int width = 0, height = 0;
  for (bool caption : {false, true}) {
    const sfc_selection font(screen.handle(), font_for(caption));
    RECT r = {0, 0, 0, 0};
    screen.measure_text(e->label, r, DT_SINGLELINE);
    width = std::max<int>(width, r.right);
    height = std::max<int>(height, r.bottom);
    if (!e->shortcut.empty()) {
      RECT s = {0, 0, 0, 0};
      screen.measure_text(e->shortcut, s, DT_SINGLELINE);
      width = std::max<int>(width, r.right + shortcut_gap + s.right);
    }
  }
  // The system adds the width of a check mark to owner-drawn items; the gutter is drawn within.
  item.itemWidth = UINT(gutter + width + side_padding - GetSystemMetrics(SM_CXMENUCHECK) + 1);
  item.itemHeight = UINT(height + 10);
  return true;
}

bool menu_painter::draw(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_MENU) return false;
  const entry* e = entry_of(item.itemData);
  if (!e) return false;
  const sfc_hdc dc(item.hDC);
  const RECT& r = item.rcItem;
  const bool caption = (item.itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
  const bool selected = !caption && (item.itemState & ODS_SELECTED);
  dc.fill(r, selected ? colours_.highlight : colours_.background);
  if (e->separator) {
    const int y = (r.top + r.bottom) / 2;
    dc.fill({r.left + gutter, y, r.right - 4, y + 1}, colours_.separator);
    return true;
  }
  if (item.itemState & ODS_CHECKED) {
    // A tick drawn with two strokes in the gutter.
    const int cx = r.left + gutter / 2, cy = (r.top + r.bottom) / 2;
    const sfc_pen pen(PS_SOLID, 2, colours_.check);
    const sfc_selection pen_in(item.hDC, pen.handle());
    MoveToEx(item.hDC, cx - 4, cy, nullptr);
    LineTo(item.hDC, cx - 1, cy + 3);
    LineTo(item.hDC, cx + 5, cy - 4);
  }
  const sfc_selection font(item.hDC, font_for(caption));
  const COLORREF colour = caption ? colours_.caption_text : selected ? colours_.highlight_text : colours_.text;
  const UINT prefix = (item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
  RECT text = {caption ? r.left + 8 : r.left + gutter, r.top, r.right - side_padding, r.bottom};
  dc.draw_text(e->label, text, DT_LEFT | DT_SINGLELINE | DT_VCENTER | prefix, colour);
  if (!e->shortcut.empty())
    dc.draw_text(e->shortcut, text, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, colour);
  return true;
}
