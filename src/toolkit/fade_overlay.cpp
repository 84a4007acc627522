#include "toolkit/fade_overlay.h"

size_t fade_overlay::cover(const std::vector<HWND>& controls, BYTE opacity) {
  opacity_ = opacity;
  size_t covered = 0;
  for (HWND control : controls) {
    if (!control || !IsWindowVisible(control)) continue;
    auto cover = std::make_unique<cover_window_impl>();
    if (!cover->open(control, opacity)) continue;
    covers_.push_back(std::move(cover));
    ++covered;
  }
  return covered;
}

void fade_overlay::set_opacity(BYTE opacity) {
  opacity_ = opacity;
  for (const auto& cover : covers_) cover->set_opacity(opacity);
}

void fade_overlay::clear() {
  for (const auto& cover : covers_) cover->destroy();
  covers_.clear();
}

bool fade_overlay::cover_window_impl::open(HWND control, BYTE opacity) {
  RECT r{};
  GetWindowRect(control, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  {
    // What the control shows now, read from its own window DC.
    const sfc_window_dc source(control, true);
    sfc_memory_dc copy(source.handle(), width, height);
    if (!copy.ok() || !BitBlt(copy.handle(), 0, 0, width, height, source.handle(), 0, 0, SRCCOPY)) return false;
    snapshot_ = copy.take_bitmap();
  }
  sfc_create_params p;
  p.class_name = sfc_fade_overlay_class;
  p.style = WS_POPUP;
  p.ex_style = WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT;
  p.rect = r;
  p.parent = GetAncestor(control, GA_ROOT);  // the owner keeps the cover above itself
  if (!create(p)) return false;
  set_opacity(opacity);
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  update();
  return true;
}

void fade_overlay::cover_window_impl::set_opacity(BYTE opacity) const {
  SetLayeredWindowAttributes(hwnd_, 0, opacity, LWA_ALPHA);
}

bool fade_overlay::cover_window_impl::on_message(sfc_msg& m) {
  switch (m.message) {
    case WM_ERASEBKGND: {
      const sfc_bitmap_dc source(reinterpret_cast<HDC>(m.wparam), snapshot_.handle());
      const SIZE size = snapshot_.size();
      BitBlt(reinterpret_cast<HDC>(m.wparam), 0, 0, size.cx, size.cy, source.handle(), 0, 0, SRCCOPY);
      m.result = TRUE;
      return true;
    }
    case WM_PAINT: {
      const sfc_paint_dc validate(hwnd_);  // BeginPaint draws the snapshot through WM_ERASEBKGND
      return true;
    }
    case WM_NCHITTEST: m.result = HTTRANSPARENT; return true;
    case WM_MOUSEACTIVATE: m.result = MA_NOACTIVATE; return true;
    default: return sfc_window::on_message(m);
  }
}
