#include "ui/window_capture.h"

#include <memory>

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

// The caption's buttons where the system puts them: close at the right, then maximise and
// minimise when the window has either box (the missing one greyed).
void draw_caption_buttons(HWND w, HDC dc, const RECT& caption) {
  const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
  if (!(style & WS_SYSMENU)) return;
  const int width = GetSystemMetrics(SM_CXSIZE) - 2, height = GetSystemMetrics(SM_CYSIZE) - 4;
  RECT r{caption.right - 2 - width, caption.top + 2, caption.right - 2, caption.top + 2 + height};
  DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE);
  if (!(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) return;
  OffsetRect(&r, -(width + 2), 0);
  DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONMAX | (style & WS_MAXIMIZEBOX ? 0 : DFCS_INACTIVE));
  OffsetRect(&r, -width, 0);
  DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONMIN | (style & WS_MINIMIZEBOX ? 0 : DFCS_INACTIVE));
}

// The frame and caption in the system's caption style, for systems whose WM_PRINT leaves the
// non-client area out; where WM_PRINT draws it, its drawing follows over this one.
void draw_frame(HWND w, HDC dc, const SIZE& size, POINT client) {
  const sfc_hdc out(dc);
  const RECT whole{0, 0, size.cx, size.cy};
  // A sizing frame has the border colour; a dialog frame is a raised face.
  const bool sizing = (GetWindowLongPtrW(w, GWL_STYLE) & WS_THICKFRAME) != 0;
  out.fill(whole, GetSysColor(sizing ? COLOR_ACTIVEBORDER : COLOR_BTNFACE));
  RECT edge = whole;
  DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
  if (!(GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION)) return;
  const int border = client.x;
  // The caption's last line is the frame's.
  RECT caption{border, border, size.cx - border, border + GetSystemMetrics(SM_CYCAPTION) - 1};
  if (caption.bottom > client.y) caption.bottom = client.y;
  // As the frame shows now: active or not, with the icon unless it is a dialog frame.
  UINT flags = DC_TEXT;
  if (GetActiveWindow() == w) flags |= DC_ACTIVE;
  if (!(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME)) flags |= DC_ICON;
  BOOL gradient = FALSE;
  if (SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0) && gradient) flags |= DC_GRADIENT;
  DrawCaption(w, dc, &caption, flags);
  draw_caption_buttons(w, dc, caption);
}

// A child's border, which WM_PRINT may leave out like the frame.
void draw_border(HWND w, HDC dc, const SIZE& size) {
  RECT r{0, 0, size.cx, size.cy};
  const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
  const LONG_PTR ex_style = GetWindowLongPtrW(w, GWL_EXSTYLE);
  if (ex_style & WS_EX_CLIENTEDGE) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
  else if (style & WS_BORDER) FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
}

// A child's border and scroll bars as they stand in its own window DC (systems whose WM_PRINT
// leaves them out draw them there); only for a shown child with such a frame.
bool copy_own_frame(HWND w, HDC dc, const SIZE& size, const SIZE& client_size) {
  if (!IsWindowVisible(w) || (size.cx == client_size.cx && size.cy == client_size.cy)) return false;
  const sfc_window_dc own(w, true);
  return own.handle() && BitBlt(dc, 0, 0, size.cx, size.cy, own.handle(), 0, 0, SRCCOPY);
}

void draw_client(HWND w, HDC dc, SIZE size);

// Draws `w` into `dc`, which holds what lies under the window, with its window rectangle at the
// DC's origin (its client area alone with `client_only`). Every window draws into a bitmap of
// its own at that bitmap's origin: controls clip their painting to their client rectangle taken
// in device units, so a control drawn at an offset inside a larger bitmap would draw nothing.
void draw_window(HWND w, HDC dc, bool top_level, bool client_only) {
  RECT client_rect{};
  GetClientRect(w, &client_rect);
  const SIZE client_size{client_rect.right, client_rect.bottom};
  if (client_only) return draw_client(w, dc, client_size);

  RECT r{};
  GetWindowRect(w, &r);
  const SIZE size{r.right - r.left, r.bottom - r.top};
  const POINT client = client_offset(w);
  if (top_level) draw_frame(w, dc, size, client);
  else if (!copy_own_frame(w, dc, size, client_size)) draw_border(w, dc, size);
  SendMessageW(w, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT);
  if (client_size.cx <= 0 || client_size.cy <= 0) return;
  sfc_memory_dc inner(dc, client_size.cx, client_size.cy);
  if (!inner.ok()) return;
  BitBlt(inner.handle(), 0, 0, client_size.cx, client_size.cy, dc, client.x, client.y, SRCCOPY);
  draw_client(w, inner.handle(), client_size);
  inner.copy_to(dc, client.x, client.y);
}

// The client area into `dc` at its origin, then the visible children over it, from the bottom
// of the z-order up, each cut to the client area by the bitmap's edges.
void draw_client(HWND w, HDC dc, SIZE size) {
  SendMessageW(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SendMessageW(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  for (HWND child = GetWindow(GetWindow(w, GW_CHILD), GW_HWNDLAST); child; child = GetWindow(child, GW_HWNDPREV)) {
    if (!(GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE)) continue;
    RECT cr{};
    GetWindowRect(child, &cr);
    const int x = cr.left - origin.x, y = cr.top - origin.y;
    const int width = cr.right - cr.left, height = cr.bottom - cr.top;
    if (width <= 0 || height <= 0 || x >= size.cx || y >= size.cy || x + width <= 0 || y + height <= 0) continue;
    sfc_memory_dc own(dc, width, height);
    if (!own.ok()) continue;
    // What shows through where the child leaves its background undrawn.
    BitBlt(own.handle(), 0, 0, width, height, dc, x, y, SRCCOPY);
    draw_window(child, own.handle(), false, false);
    own.copy_to(dc, x, y);
  }
}
}  // namespace

namespace {
// The window's image in `buffer`, made the window's size (or its client area's).
bool draw_image(HWND window, bool whole_window, std::unique_ptr<sfc_memory_dc>& buffer) {
  RECT r{};
  if (whole_window) GetWindowRect(window, &r);
  else GetClientRect(window, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (!IsWindow(window) || width <= 0 || height <= 0) return false;
  const sfc_window_dc screen(nullptr);
  buffer = std::make_unique<sfc_memory_dc>(screen.handle(), width, height);
  if (!buffer->ok()) return false;
  buffer->fill({0, 0, width, height}, GetSysColor(COLOR_BTNFACE));
  draw_window(window, buffer->handle(), whole_window, !whole_window);
  GdiFlush();
  return true;
}
}  // namespace

bool capture_window(HWND window, bool whole_window, captured_image& image) {
  std::unique_ptr<sfc_memory_dc> buffer;
  if (!draw_image(window, whole_window, buffer)) return false;
  image.width = buffer->width();
  image.height = buffer->height();
  image.pixels.assign(buffer->pixels(), buffer->pixels() + size_t(image.width) * size_t(image.height));
  // GDI leaves the alpha bytes as they were: the image is opaque.
  for (uint32_t& p : image.pixels) p |= 0xFF000000u;
  return true;
}

namespace {
void paint_at_once(HWND window, bool whole_window) {
  std::unique_ptr<sfc_memory_dc> buffer;
  if (!draw_image(window, whole_window, buffer)) return;
  // A DC that the children do not clip: one copy fills their places too.
  const HDC dc = GetDCEx(window, nullptr, DCX_CACHE | (whole_window ? DCX_WINDOW : 0));
  if (!dc) return;
  buffer->copy_to(dc, 0, 0);
  ReleaseDC(window, dc);
}
}  // namespace

void paint_client_at_once(HWND window) { paint_at_once(window, false); }

void paint_window_at_once(HWND window) { paint_at_once(window, true); }
