// The hidden menu bar and the two popups, all drawn by the window's menu painter.
#include "resource_ids.h"
#include "ui/main_window.h"

namespace {
constexpr int screengrab_popup = 0;
constexpr int units_popup = 1;
}  // namespace

void main_window::load_menus() {
  if (menu_bar_.load(IDR_MAIN_MENU))
    for (int i = 0; i < menu_bar_.count(); ++i) painter_.take_over(menu_bar_.popup(i).handle());
  if (popups_.load(IDR_POPUP_MENUS)) painter_.take_over(popups_.handle());
}

void main_window::track_popup(HMENU popup, POINT at, UINT align) {
  // Leaving a popup is no reason to take the menu bar away.
  popup_open_ = true;
  const UINT command = UINT(TrackPopupMenu(popup, align | TPM_RETURNCMD, at.x, at.y, 0, hwnd_, nullptr));
  popup_open_ = false;
  if (command != 0) model_.command(int(command), control_event::clicked, 0, false);
}

void main_window::show_screengrab_popup() {
  if (!popups_.handle()) return;
  // Above the button, from its left edge.
  const RECT button = sfc_hwnd(item(IDC_MAIN_SCREENGRAB)).window_rect();
  track_popup(popups_.popup(screengrab_popup).handle(), {button.left, button.top}, TPM_LEFTALIGN | TPM_BOTTOMALIGN);
}

void main_window::show_units_popup(HWND graph) {
  if (!popups_.handle() || !graph) return;
  const sfc_hmenu units = popups_.popup(units_popup);
  units.check(ID_UNITS_1024, !model_.decimal_units());
  units.check(ID_UNITS_1000, model_.decimal_units());
  // At the graph's top-right corner, one pixel to its right.
  const RECT r = sfc_hwnd(graph).window_rect();
  track_popup(units.handle(), {r.right + 1, r.top}, TPM_LEFTALIGN | TPM_TOPALIGN);
}

// Attaching or detaching the bar keeps the client area where it is and as large as it is.
void main_window::show_menu_bar(bool shown) {
  if (shown == menu_bar_shown_ || !menu_bar_.handle() || !hwnd_) return;
  const RECT before = client_rect();
  SetMenu(hwnd_, shown ? menu_bar_.handle() : nullptr);
  menu_bar_shown_ = shown;
  const RECT after = client_rect();
  const RECT window = window_rect();
  SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left,
               window.bottom - window.top + (before.bottom - after.bottom), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool main_window::key_menu(sfc_msg& m) {
  // The menu key shows the bar first; the system then opens its menu as usual.
  show_menu_bar(true);
  m.result = DefWindowProcW(hwnd_, m.message, m.wparam, m.lparam);
  return true;
}

void main_window::menu_loop_ended() {
  if (!popup_open_) show_menu_bar(false);
}
