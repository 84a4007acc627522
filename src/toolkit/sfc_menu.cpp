#include "toolkit/sfc_menu.h"

UINT sfc_hmenu::track(HWND owner, POINT at, UINT flags) const {
  return UINT(TrackPopupMenu(menu_, flags | TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr));
}

bool sfc_menu::load(int id, HMODULE module) {
  reset();
  menu_ = LoadMenuW(module ? module : GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
  return menu_ != nullptr;
}

bool sfc_menu::create_popup() {
  reset();
  menu_ = CreatePopupMenu();
  return menu_ != nullptr;
}

void sfc_menu::reset() {
  if (menu_) DestroyMenu(menu_);
  menu_ = nullptr;
}
