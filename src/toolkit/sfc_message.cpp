#include "toolkit/sfc_message.h"

#include <algorithm>

void sfc_hook_list::add(sfc_msg_hook* hook) {
  if (std::find(hooks_.begin(), hooks_.end(), hook) == hooks_.end()) hooks_.push_back(hook);
}

void sfc_hook_list::remove(sfc_msg_hook* hook) {
  hooks_.erase(std::remove(hooks_.begin(), hooks_.end(), hook), hooks_.end());
}

// Copies are walked so that a hook may add or remove hooks while it runs.
void sfc_hook_list::notify_bound(sfc_hwnd& target) {
  const std::vector<sfc_msg_hook*> hooks = hooks_;
  for (sfc_msg_hook* hook : hooks) hook->on_bound(target);
}

bool sfc_hook_list::before(sfc_msg& m) {
  if (hooks_.empty()) return true;
  const std::vector<sfc_msg_hook*> hooks = hooks_;
  for (sfc_msg_hook* hook : hooks)
    if (!hook->before(m)) return false;
  return true;
}

void sfc_hook_list::after(sfc_msg& m) {
  if (hooks_.empty()) return;
  const std::vector<sfc_msg_hook*> hooks = hooks_;
  for (sfc_msg_hook* hook : hooks) hook->after(m);
}

sfc_msg make_sfc_msg(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  sfc_msg m;
  m.hwnd = hwnd;
  m.message = message;
  m.wparam = wparam;
  m.lparam = lparam;
  m.tick = GetTickCount();
  const DWORD pos = GetMessagePos();
  m.cursor = {short(LOWORD(pos)), short(HIWORD(pos))};
  return m;
}

HWND reflection_source(const sfc_msg& m) {
  if (is_control_colour_message(m.message)) return reinterpret_cast<HWND>(m.lparam);
  switch (m.message) {
    case WM_DRAWITEM: {
      const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(m.lparam);
      return draw->CtlType == ODT_MENU ? nullptr : draw->hwndItem;
    }
    case WM_MEASUREITEM: {
      const auto* measure = reinterpret_cast<const MEASUREITEMSTRUCT*>(m.lparam);
      return measure->CtlType == ODT_MENU ? nullptr : GetDlgItem(m.hwnd, int(measure->CtlID));
    }
    case WM_NOTIFY: return reinterpret_cast<const NMHDR*>(m.lparam)->hwndFrom;
    default: return nullptr;
  }
}
