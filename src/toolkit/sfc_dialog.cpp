#include "toolkit/sfc_dialog.h"

#include "support/fatal.h"
#include "toolkit/dialog_font.h"
#include "toolkit/sfc_window.h"

INT_PTR CALLBACK sfc_dialog_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<sfc_dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!self) {
    if (message != WM_INITDIALOG) return FALSE;
    self = reinterpret_cast<sfc_dialog*>(lparam);
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
    self->destroyed_ = false;
    self->hooks_.notify_bound(*self);
  }
  return self->route(hwnd, message, wparam, lparam);
}

sfc_dialog::~sfc_dialog() {
  if (hwnd_) fatal("sfc_dialog::~sfc_dialog");
}

void sfc_dialog::set_font_override(const std::wstring& face, uint16_t points) {
  font_override_ = true;
  font_face_ = face;
  font_points_ = points;
}

bool sfc_dialog::override_font(dialog_font_spec& font) const {
  if (!font_override_) return false;
  if (font_face_.empty()) {
    font = system_message_font();
  } else {
    font.face = font_face_;
    font.points = font_points_ ? font_points_ : system_message_font().points;
  }
  return true;
}

INT_PTR sfc_dialog::run_modal(int template_id, HWND owner, HMODULE module) {
  if (!module) module = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(template_id), MAKEINTRESOURCEW(5));  // RT_DIALOG
  const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return -1;
  return run_template(static_cast<const uint8_t*>(data), SizeofResource(module, found), owner, module);
}

INT_PTR sfc_dialog::run_modal(const std::vector<uint8_t>& dialog_template, HWND owner) {
  return run_template(dialog_template.data(), dialog_template.size(), owner, GetModuleHandleW(nullptr));
}

INT_PTR sfc_dialog::run_template(const uint8_t* data, size_t size, HWND owner, HMODULE module) {
  if (hwnd_) fatal("sfc_dialog::run_modal");
  dialog_font_spec font;
  std::vector<uint8_t> rebuilt;
  if (override_font(font)) {
    if (!rebuild_dialog_template(data, size, font, rebuilt)) return -1;
    data = rebuilt.data();
    size = rebuilt.size();
  }
  if (size < sizeof(dlg_header)) return -1;
  // The module is where the controls find resources named in the template (icons, bitmaps).
  return DialogBoxIndirectParamW(module, reinterpret_cast<const DLGTEMPLATE*>(data), owner, sfc_dialog_proc,
                                 reinterpret_cast<LPARAM>(this));
}

namespace {
// Messages whose dialog-procedure return value is the answer itself, not a handled flag.
bool answers_directly(UINT message) {
  if (is_control_colour_message(message)) return true;
  switch (message) {
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON: return true;
    default: return false;
  }
}
}  // namespace

INT_PTR sfc_dialog::route(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (hwnd != hwnd_) fatal("sfc_dialog::route");
  sfc_msg m = make_sfc_msg(hwnd, message, wparam, lparam);
  sfc_msg* outer = current_;
  current_ = &m;
  bool handled = true;
  if (hooks_.before(m)) {
    handled = on_message(m);
    hooks_.after(m);
  }
  current_ = outer;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    hwnd_ = nullptr;
    destroyed_ = true;
  }
  if (!handled) return FALSE;
  if (answers_directly(message)) return static_cast<INT_PTR>(m.result);
  SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, m.result);
  return TRUE;
}

bool sfc_dialog::on_message(sfc_msg& m) {
  switch (m.message) {
    case WM_INITDIALOG: m.result = on_init() ? TRUE : FALSE; return true;
    case WM_DESTROY:
      destroyed_ = true;
      on_destroy();
      return false;
    case WM_COMMAND: {
      const int id = LOWORD(m.wparam);
      if (id == IDOK) on_ok();
      else if (id == IDCANCEL) on_cancel();
      else on_command(id, HIWORD(m.wparam), reinterpret_cast<HWND>(m.lparam));
      return true;
    }
    case WM_TIMER: on_timer(m.wparam); return true;
    default: return sfc_window::reflect_to_child(m);
  }
}
