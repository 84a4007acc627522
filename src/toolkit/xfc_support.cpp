#include "toolkit/xfc_support.h"

#include "toolkit/sfc_gdi.h"

bool xfc_hover::track(const sfc_msg& m) {
  if (m.message == WM_MOUSEMOVE && !over_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m.hwnd, 0};
    TrackMouseEvent(&track);
    return over_ = true;
  }
  if (m.message == WM_MOUSELEAVE && over_) {
    over_ = false;
    return true;
  }
  return false;
}

bool xfc_own_painting(sfc_msg& m, const std::function<void(HDC)>& paint) {
  switch (m.message) {
    case WM_PAINT: {
      const sfc_paint_dc dc(m.hwnd);
      paint(dc.handle());
      m.result = 0;
      return true;
    }
    case WM_PRINTCLIENT:
      paint(reinterpret_cast<HDC>(m.wparam));
      m.result = 0;
      return true;
    case WM_ERASEBKGND: m.result = TRUE; return true;
    default: return false;
  }
}
