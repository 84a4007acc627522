#include "toolkit/sfc_window.h"

#include <commctrl.h>

#include <cwchar>

#include "support/fatal.h"

const wchar_t sfc_window_class[] = L"SfcWindow";
const wchar_t sfc_fade_overlay_class[] = L"SfcFadeOverlay";

namespace {
constexpr UINT_PTR subclass_id = 0x5FC;
// Subclassed windows find their object through this window property.
const wchar_t object_property[] = L"SfcObject";

bool is_toolkit_class(const wchar_t* name) {
  // Atoms (integer class names) are never the toolkit's.
  return !IS_INTRESOURCE(name) && std::wcsncmp(name, L"Sfc", 3) == 0;
}
}  // namespace

LRESULT CALLBACK sfc_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<sfc_window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) {
    if (message != WM_NCCREATE) return DefWindowProcW(hwnd, message, wparam, lparam);
    self = static_cast<sfc_window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  return self->route(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK sfc_subclass_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR ref) {
  return reinterpret_cast<sfc_window*>(ref)->route(hwnd, message, wparam, lparam);
}

bool register_sfc_class(const wchar_t* name, UINT class_style, HBRUSH background) {
  const HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(module, name, &wc)) return true;
  wc.style = class_style;
  wc.lpfnWndProc = sfc_window_proc;
  wc.hInstance = module;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

sfc_window::~sfc_window() {
  if (!hwnd_) return;
  // Only a window this object created may go with it; from here on its messages reach the base only.
  if (!created_) fatal("sfc_window::~sfc_window");
  DestroyWindow(hwnd_);
  if (hwnd_) fatal("sfc_window::~sfc_window");
}

bool sfc_window::create(const sfc_create_params& p) {
  if (hwnd_) fatal("sfc_window::create");
  const bool own_class = is_toolkit_class(p.class_name);
  if (own_class && !register_sfc_class(p.class_name, CS_DBLCLKS, nullptr)) return false;
  const HMENU id = (p.style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(p.id)) : nullptr;
  destroyed_ = false;
  const HWND hwnd = CreateWindowExW(p.ex_style, p.class_name, p.text.c_str(), p.style, p.rect.left, p.rect.top,
                                    p.rect.right - p.rect.left, p.rect.bottom - p.rect.top, p.parent, id,
                                    GetModuleHandleW(nullptr), own_class ? this : nullptr);
  if (!hwnd) return false;
  created_ = true;
  if (!own_class) {
    if (attach(hwnd)) return true;
    DestroyWindow(hwnd);
    created_ = false;
    return false;
  }
  hooks_.notify_bound(*this);
  on_attached();
  return true;
}

bool sfc_window::attach(HWND hwnd) {
  if (hwnd_) fatal("sfc_window::attach");
  if (!hwnd || !IsWindow(hwnd)) return false;
  if (from_handle(hwnd)) fatal("sfc_window::attach");
  hwnd_ = hwnd;
  destroyed_ = false;
  return subclass();
}

bool sfc_window::subclass() {
  if (!SetWindowSubclass(hwnd_, sfc_subclass_proc, subclass_id, reinterpret_cast<DWORD_PTR>(this))) {
    hwnd_ = nullptr;
    return false;
  }
  subclassed_ = true;
  SetPropW(hwnd_, object_property, this);
  hooks_.notify_bound(*this);
  on_attached();
  return true;
}

void sfc_window::destroy() {
  if (hwnd_ && created_) DestroyWindow(hwnd_);
}

void sfc_window::unbind() {
  if (subclassed_) {
    RemoveWindowSubclass(hwnd_, sfc_subclass_proc, subclass_id);
    RemovePropW(hwnd_, object_property);
  } else {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  }
  hwnd_ = nullptr;
  subclassed_ = false;
  created_ = false;
  destroyed_ = true;
}

LRESULT sfc_window::route(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (hwnd != hwnd_) fatal("sfc_window::route");
  sfc_msg m = make_sfc_msg(hwnd, message, wparam, lparam);
  sfc_msg* outer = current_;
  current_ = &m;
  if (hooks_.before(m)) {
    if (!on_message(m)) m.result = default_result(m);
    hooks_.after(m);
  }
  current_ = outer;
  if (message == WM_NCDESTROY) unbind();
  return m.result;
}

LRESULT sfc_window::default_result(const sfc_msg& m) const {
  if (subclassed_) return DefSubclassProc(m.hwnd, m.message, m.wparam, m.lparam);
  return DefWindowProcW(m.hwnd, m.message, m.wparam, m.lparam);
}

bool sfc_window::on_message(sfc_msg& m) {
  switch (m.message) {
    case WM_DESTROY: destroyed_ = true; return false;
    case WM_PARENTNOTIFY: on_parent_notify(m); return false;
    default: return !reflection_off_ && reflect_to_child(m);
  }
}

bool sfc_window::dispatch_reflected(sfc_msg& m) {
  sfc_msg* outer = current_;
  current_ = &m;
  bool handled = false;
  if (hooks_.before(m)) {
    handled = on_message(m);
    hooks_.after(m);
  } else {
    handled = true;
  }
  current_ = outer;
  return handled;
}

sfc_window* sfc_window::from_handle(HWND hwnd) {
  if (!hwnd) return nullptr;
  if (void* subclassed = GetPropW(hwnd, object_property)) return static_cast<sfc_window*>(subclassed);
  wchar_t name[8] = {};
  if (GetClassNameW(hwnd, name, 8) < 3 || !is_toolkit_class(name)) return nullptr;
  return reinterpret_cast<sfc_window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

bool sfc_window::reflect_to_child(sfc_msg& m) {
  const HWND source = reflection_source(m);
  if (!source || source == m.hwnd) return false;
  sfc_window* child = from_handle(source);
  if (!child) return false;
  sfc_msg reflected = m;
  reflected.hwnd = source;
  reflected.message = m.message + sfc_reflected;
  reflected.result = 0;
  if (!child->dispatch_reflected(reflected)) return false;
  m.result = reflected.result;
  return true;
}
