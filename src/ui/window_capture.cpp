#include "ui/window_capture.h"

#include <cstring>

#include "toolkit/sfc_gdi.h"

namespace {
// Where the client area begins inside the window rectangle.
POINT client_offset(HWND w) {
  RECT window{};
  GetWindowRect(w, &window);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  return {origin.x - window.left, origin.y - window.top};
}

// The frame and caption in the system's caption style, for systems whose WM_PRINT leaves the
// non-client area out; where WM_PRINT draws it, its drawing follows over this one.
void draw_frame(HWND w, HDC dc, const SIZE& size, POINT client) {
  const sfc_hdc out(dc);
  const RECT whole{0, 0, size.cx, size.cy};
  out.fill(whole, GetSysColor(COLOR_ACTIVEBORDER));
  RECT edge = whole;
  DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
  if (!(GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION)) return;
  const int border = client.x;
  RECT caption{border, border, size.cx - border, border + GetSystemMetrics(SM_CYCAPTION)};
  if (caption.bottom > client.y) caption.bottom = client.y;
  DrawCaption(w, dc, &caption, DC_ACTIVE | DC_ICON | DC_TEXT | DC_GRADIENT);
}

// A child's border, which WM_PRINT may leave out like the frame.
void draw_border(HWND w, HDC dc, const SIZE& size) {
  RECT r{0, 0, size.cx, size.cy};
  const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
  const LONG_PTR ex_style = GetWindowLongPtrW(w, GWL_EXSTYLE);
  if (ex_style & WS_EX_CLIENTEDGE)
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
  else if (style & WS_BORDER)
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
}

// Draws `w` with its window rectangle at `at` in the DC, then its visible children over it.
void print_tree(HWND w, HDC dc, POINT at, bool top_level, bool client_only) {
  RECT r{};
  GetWindowRect(w, &r);
  const SIZE size{r.right - r.left, r.bottom - r.top};
  const POINT client = client_only ? POINT{0, 0} : client_offset(w);
  RECT client_rect{};
  GetClientRect(w, &client_rect);

  const int saved = SaveDC(dc);
  if (!client_only) {
    SetViewportOrgEx(dc, at.x, at.y, nullptr);
    IntersectClipRect(dc, 0, 0, size.cx, size.cy);
    if (top_level)
      draw_frame(w, dc, size, client);
    else
      draw_border(w, dc, size);
    SendMessageW(w, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT);
  }
  SetViewportOrgEx(dc, at.x + client.x, at.y + client.y, nullptr);
  IntersectClipRect(dc, 0, 0, client_rect.right, client_rect.bottom);
  SendMessageW(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SendMessageW(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  RestoreDC(dc, saved);

  // Children from the bottom of the z-order up, each clipped to this window's client area.
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  for (HWND child = GetWindow(GetWindow(w, GW_CHILD), GW_HWNDLAST); child; child = GetWindow(child, GW_HWNDPREV)) {
    if (!(GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE)) continue;
    RECT cr{};
    GetWindowRect(child, &cr);
    const int inner = SaveDC(dc);
    IntersectClipRect(dc, at.x + client.x, at.y + client.y, at.x + client.x + client_rect.right,
                      at.y + client.y + client_rect.bottom);
    print_tree(child, dc, {at.x + client.x + cr.left - origin.x, at.y + client.y + cr.top - origin.y}, false, false);
    RestoreDC(dc, inner);
  }
}
}  // namespace

bool capture_window(HWND window, bool whole_window, captured_image& image) {
  RECT r{};
  if (whole_window)
    GetWindowRect(window, &r);
  else
    GetClientRect(window, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (!IsWindow(window) || width <= 0 || height <= 0) return false;
  const sfc_window_dc screen(nullptr);
  sfc_memory_dc buffer(screen.handle(), width, height);
  if (!buffer.ok()) return false;
  buffer.fill({0, 0, width, height}, GetSysColor(COLOR_BTNFACE));
  print_tree(window, buffer.handle(), {0, 0}, whole_window, !whole_window);
  GdiFlush();
  image.width = width;
  image.height = height;
  image.pixels.assign(buffer.pixels(), buffer.pixels() + size_t(width) * size_t(height));
  // GDI leaves the alpha bytes as they were: the image is opaque.
  for (uint32_t& p : image.pixels) p |= 0xFF000000u;
  return true;
}
