#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bench/test_run.h"
#include "ui/graph_frame.h"
#include "ui/graph_style.h"

// The window-side contract of a result graph (a custom static, controls 1020 and 1021, given
// SS_NOTIFY when attached so that it receives clicks):
// - set_planned() and set_decimal_units() are followed by invalidating the control;
//   reset_run()'s answer is applied to the timer like after_paint()'s.
// - WM_PAINT: next_frame() with the client size and the direction's results, then fill every
//   rectangle of the frame with GDI+ solid brushes and draw its texts; then apply after_paint().
// - Timer graph_timer_id (graph_timer_ms) while after_paint() says so; each tick invalidates the
//   whole control.
// - WM_SETCURSOR and WM_LBUTTONDOWN inside units_hit(): the hand cursor, and a click posts the
//   main window's WM_USER+2 with the graph window as wParam (the "Units" popup).
enum class graph_timer : int { keep, start, stop };

class pretty_graph_model {
 public:
  void set_title(const std::wstring& title) { title_ = title; }
  void set_decimal_units(bool decimal) { decimal_units_ = decimal; }
  // True when the window's font face begins with "Segoe": it has U+1D34 for the decimal unit.
  void set_font_face(const std::wstring& face);
  // A new run: no phase, no scale, no colours. Returns stop when the timer was running.
  graph_timer reset_run();
  // The read or write phase began with this many tests planned.
  void set_planned(uint32_t planned) { planned_ = planned; }

  // The next frame for a client area of width x height; moves the animation one step on.
  graph_frame next_frame(const std::vector<test_run>& results, double width, double height, text_measure_cb& measure);
  // What the window does with its timer after painting that frame.
  graph_timer after_paint(const graph_frame& frame);
  bool units_hit(double x, double y) const { return units_area_.contains(x, y); }

  uint32_t planned() const { return planned_; }
  double scale_peak() const { return scale_peak_; }
  bool done_shown() const { return done_shown_; }
  bool decimal_units() const { return decimal_units_; }
  bool animating() const { return animating_; }
  const std::wstring& title() const { return title_; }
  std::wstring units_label() const;

 private:
  void add_header_texts(graph_frame& f, size_t results, int best, double best_rate, bool complete, text_measure_cb& m);
  // Fills the bars; true when a bar was clipped or a colour is still fading.
  bool add_bars(graph_frame& f, const std::vector<test_run>& results, int best, bool complete);

  std::wstring title_ = graph_title_placeholder;
  uint32_t planned_ = 0;
  double scale_peak_ = 0;
  bool done_shown_ = false;
  bool decimal_units_ = false;
  bool segoe_face_ = false;
  bool animating_ = false;
  rect_f units_area_;
  std::vector<uint32_t> drawn_colours_;  // per result, 0 before its first paint
};

// One step of the bar colour fade: each channel a third of the way to its target,
// at least one step, and onto the target once within graph_fade_snap.
uint32_t fade_colour(uint32_t drawn, uint32_t target);
// One step of the scale easing towards a new best rate: half the distance, then onto it.
double ease_scale(double scale_peak, double best);
