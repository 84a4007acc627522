#pragma once

#include <windows.h>

#include <string>

class sfc_hmenu {
 public:
  sfc_hmenu() = default;
  explicit sfc_hmenu(HMENU menu) : menu_(menu) {}
  HMENU handle() const { return menu_; }
  sfc_hmenu popup(int index) const { return sfc_hmenu(GetSubMenu(menu_, index)); }
  int count() const { return GetMenuItemCount(menu_); }
  void check(UINT command, bool checked) const {
    CheckMenuItem(menu_, command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
  }
  void enable(UINT command, bool enabled) const {
    EnableMenuItem(menu_, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  }
  // Shows the popup at a screen point and returns the chosen command (0 when none).
  UINT track(HWND owner, POINT at, UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN) const;

 protected:
  HMENU menu_ = nullptr;
};

// Owns a menu: destroyed with the object unless a window took it over with release().
class sfc_menu : public sfc_hmenu {
 public:
  sfc_menu() = default;
  ~sfc_menu() { reset(); }
  sfc_menu(const sfc_menu&) = delete;
  sfc_menu& operator=(const sfc_menu&) = delete;
  bool load(int id, HMODULE module = nullptr);
  bool create_popup();
  HMENU release() {
    HMENU menu = menu_;
    menu_ = nullptr;
    return menu;
  }
  void reset();
};
