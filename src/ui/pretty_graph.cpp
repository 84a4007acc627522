#include "ui/pretty_graph.h"

// Lean Windows headers leave out the COM types GDI+ names.
#include <objidl.h>
#include <gdiplus.h>

#include <cmath>

#include "ui/gdi_text_measure.h"
#include "ui/gdiplus_session.h"

namespace {
// The graph's title and number stand this many times the height of the window's font.
constexpr int large_font_scale = 2;

COLORREF colour_ref(uint32_t argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

Gdiplus::RectF rect_of(const rect_f& r) {
  return Gdiplus::RectF(Gdiplus::REAL(r.left), Gdiplus::REAL(r.top), Gdiplus::REAL(r.width()),
                        Gdiplus::REAL(r.height()));
}

void fill(Gdiplus::Graphics& g, const rect_f& r, uint32_t argb) {
  if (r.empty()) return;
  const Gdiplus::SolidBrush brush{Gdiplus::Color(Gdiplus::ARGB(argb))};
  g.FillRectangle(&brush, rect_of(r));
}

void paint_shapes_gdiplus(HDC dc, const graph_frame& f) {
  Gdiplus::Graphics g(dc);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  // Pixel centres at half coordinates: a whole-numbered rectangle covers whole pixels exactly.
  g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  fill(g, f.client, f.background);
  fill(g, f.header, f.header_colour);
  for (const rect_f& line : f.grid_lines) fill(g, line, f.grid_colour);
  for (const graph_bar& bar : f.bars) fill(g, bar.box, bar.colour);
}

RECT pixel_rect(const rect_f& r) {
  return {LONG(std::lround(r.left)), LONG(std::lround(r.top)), LONG(std::lround(r.right)), LONG(std::lround(r.bottom))};
}

// Without GDI+: whole pixels, and what is half transparent is drawn over the background.
void paint_shapes_gdi(HDC dc, const graph_frame& f) {
  const sfc_hdc out(dc);
  out.fill(pixel_rect(f.client), colour_ref(f.background));
  out.fill(pixel_rect(f.header), colour_ref(f.header_colour));
  for (const graph_bar& bar : f.bars)
    if ((bar.colour >> 24) >= 0x80) out.fill(pixel_rect(bar.box), colour_ref(bar.colour));
}
}  // namespace

void paint_graph_frame(HDC dc, const graph_frame& frame, HFONT normal, HFONT large) {
  if (gdiplus_ready()) paint_shapes_gdiplus(dc, frame);
  else paint_shapes_gdi(dc, frame);
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  for (const graph_text& t : frame.texts) {
    const sfc_selection font(dc, t.font == font_large ? large : normal);
    SetTextColor(dc, colour_ref(t.colour));
    TextOutW(dc, int(std::lround(t.box.left)), int(std::lround(t.box.top)), t.text.c_str(), int(t.text.size()));
  }
}

void pretty_graph::bind(pretty_graph_model& model, const std::vector<test_run>& results) {
  model_ = &model;
  results_ = &results;
  large_base_ = nullptr;  // the model learns the font's face with the next paint
  if (hwnd_) {
    sync_timer();
    invalidate();
  }
}

void pretty_graph::on_attached() {
  // Clicks on the unit reach a static only with SS_NOTIFY.
  change_style(SS_NOTIFY, 0);
  xfc_custom_static::on_attached();
  sync_timer();
}

void pretty_graph::sync_timer() {
  if (model_ && model_->animating()) apply_timer(graph_timer::start);
}

void pretty_graph::apply_timer(graph_timer action) {
  if (!hwnd_) return;
  if (action == graph_timer::start) set_timer(graph_timer_id, graph_timer_ms);
  if (action == graph_timer::stop) kill_timer(graph_timer_id);
}

HFONT pretty_graph::large_font(HFONT normal) {
  if (large_.handle() && large_base_ == normal) return large_.handle();
  large_base_ = normal;
  LOGFONTW lf{};
  if (!sfc_hfont(normal).logfont(lf)) return normal;
  if (model_) model_->set_font_face(lf.lfFaceName);
  const LONG height = lf.lfHeight ? lf.lfHeight : -12;
  if (!large_.create_like(normal, FW_NORMAL, height * large_font_scale)) return normal;
  return large_.handle();
}

void pretty_graph::draw(HDC dc, const RECT& client) {
  const HFONT normal = font() ? font() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const HFONT large = large_font(normal);
  if (!model_) {
    sfc_hdc(dc).fill(client, colour_ref(graph_colours.background));
    return;
  }
  static const std::vector<test_run> no_results;
  gdi_text_measure measure(dc, normal, large);
  const graph_frame frame =
      model_->next_frame(results_ ? *results_ : no_results, double(client.right), double(client.bottom), measure);
  paint_graph_frame(dc, frame, normal, large);
  apply_timer(model_->after_paint(frame));
}

bool pretty_graph::cursor_over_units() const {
  POINT p{};
  if (!GetCursorPos(&p) || !ScreenToClient(hwnd_, &p)) return false;
  return model_->units_hit(p.x, p.y);
}

bool pretty_graph::on_message(sfc_msg& m) {
  switch (m.message) {
    case WM_TIMER:
      if (m.wparam != graph_timer_id) break;
      invalidate();
      m.result = 0;
      return true;
    case WM_SETCURSOR:
      if (!model_ || !click_message_ || !cursor_over_units()) break;
      SetCursor(LoadCursorW(nullptr, IDC_HAND));
      m.result = TRUE;
      return true;
    case WM_LBUTTONDOWN:
      if (!model_ || !click_message_ || !model_->units_hit(short(LOWORD(m.lparam)), short(HIWORD(m.lparam)))) break;
      PostMessageW(parent(), click_message_, reinterpret_cast<WPARAM>(hwnd_), 0);
      m.result = 0;
      return true;
    case WM_DESTROY: kill_timer(graph_timer_id); break;
    default: break;
  }
  return xfc_custom_static::on_message(m);
}
