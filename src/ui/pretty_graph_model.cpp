#include "ui/pretty_graph_model.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

#include "results/evaluation.h"
#include "support/format_string.h"

namespace {
constexpr double binary_divisor = 1048576.0;
constexpr double decimal_divisor = 1000000.0;

int fade_channel(int drawn, int target) {
  int next = (2 * drawn + target) / 3;
  // The integer third alone stalls one step below a larger target: always move.
  if (next == drawn && drawn != target) next += target > drawn ? 1 : -1;
  if (std::abs(next - target) <= graph_fade_snap) next = target;
  return next;
}

// The share of the full bar height a rate gets; never NaN, whatever the scale.
double bar_share(double rate, double scale_peak) {
  if (!(scale_peak > 0)) return 0;
  const double share = std::min(rate, scale_peak) / scale_peak;
  return std::isfinite(share) && share > 0 ? share : 0;
}

// Standing on the baseline: texts of both fonts on one line share it.
graph_text text_at(const std::wstring& text, double left, double baseline, ui_font font, uint32_t colour,
                   text_measure_cb& m) {
  const text_size size = m.measure(text, font);
  const double top = baseline + size.descent - size.height;
  return {text, {left, top, left + size.width, top + size.height}, font, colour};
}

// Right-aligned against right, on the baseline.
graph_text text_left_of(const std::wstring& text, double right, double baseline, ui_font font, uint32_t colour,
                        text_measure_cb& m) {
  graph_text t = text_at(text, right, baseline, font, colour, m);
  const double w = t.box.width();
  t.box.left = right - w;
  t.box.right = right;
  return t;
}
}  // namespace

uint32_t fade_colour(uint32_t drawn, uint32_t target) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8)
    out |= uint32_t(fade_channel(int((drawn >> shift) & 0xFF), int((target >> shift) & 0xFF))) << shift;
  return out;
}

double ease_scale(double scale_peak, double best) {
  if (!(best > scale_peak)) return scale_peak;
  const double next = (scale_peak + best) * 0.5;
  // Halving alone never arrives, and may stall between two neighbouring doubles.
  return best - next <= best * graph_scale_snap ? best : next;
}

void pretty_graph_model::set_font_face(const std::wstring& face) {
  static const wchar_t segoe[] = L"segoe";
  segoe_face_ = face.size() >= 5;
  for (size_t i = 0; i < 5 && segoe_face_; ++i) segoe_face_ = std::towlower(face[i]) == segoe[i];
}

graph_timer pretty_graph_model::reset_run() {
  planned_ = 0;
  scale_peak_ = 0;
  done_shown_ = false;
  drawn_colours_.clear();
  units_area_ = {};
  const bool was_animating = animating_;
  animating_ = false;
  return was_animating ? graph_timer::stop : graph_timer::keep;
}

std::wstring pretty_graph_model::units_label() const {
  if (!decimal_units_) return L" MBps *";
  return segoe_face_ ? L" MBps \u1D34" : L" MBps \u00B9";
}

void pretty_graph_model::add_header_texts(graph_frame& f, size_t results, int best, double best_rate, bool complete,
                                          text_measure_cb& m) {
  // The large title's descent stays above the padding; every text of the band stands on its baseline.
  const double bottom = f.header.bottom - graph_padding - m.measure(title_, font_large).descent;
  f.texts.push_back(text_at(title_, f.header.left + graph_padding, bottom, font_large,
                            planned_ ? graph_colours.title_active : graph_colours.title_idle, m));
  if (planned_ && results < planned_) {
    graph_text progress = text_at(format_string(L"%u / %u", unsigned(results), unsigned(planned_)), 0, bottom,
                                  font_normal, graph_colours.caption, m);
    const double w = progress.box.width();
    progress.box.left = f.header.left + (f.header.width() - w) / 2;
    progress.box.right = progress.box.left + w;
    f.texts.push_back(progress);
  }
  units_area_ = {};
  if (results == 0) return;
  const double right = f.header.right - graph_padding;
  double value_left;
  if (best >= 0) {
    const double divisor = decimal_units_ ? decimal_divisor : binary_divisor;
    graph_text unit = text_left_of(units_label(), right, bottom, font_normal, graph_colours.caption, m);
    graph_text number = text_left_of(format_string(L"%.1lf", best_rate / divisor), unit.box.left, bottom, font_large,
                                     complete ? graph_colours.best_done : graph_colours.best_running, m);
    value_left = number.box.left;
    f.texts.push_back(unit);
    f.texts.push_back(number);
  } else {
    graph_text zero = text_left_of(L"0.0" + units_label(), right, bottom, font_normal, graph_colours.zero_value, m);
    value_left = zero.box.left;
    f.texts.push_back(zero);
  }
  units_area_ = {value_left, f.header.top, f.header.right, f.header.bottom};
}

bool pretty_graph_model::add_bars(graph_frame& f, const std::vector<test_run>& results, int best, bool complete) {
  const double slot = f.plot.width() / planned_;
  const bool grid = slot >= graph_min_grid_slot;
  const size_t shown = std::min(results.size(), size_t(planned_));
  if (drawn_colours_.size() < shown) drawn_colours_.resize(shown, 0);
  bool moving = false;
  graph_bar best_bar;
  for (size_t i = 0; i < planned_; ++i) {
    const double x0 = f.plot.left + double(i) * slot, x1 = x0 + slot;
    if (grid) {
      const double centre = std::floor((x0 + x1) / 2);
      f.grid_lines.push_back({centre, f.plot.top, centre + 1, f.plot.bottom});
    }
    if (i >= shown) continue;
    const test_run& r = results[i];
    uint32_t target;
    double height;
    if (r.ok) {
      const bool is_best = int(i) == best;
      target = is_best ? (complete ? graph_colours.best_done : graph_colours.best_running)
                       : (complete ? graph_colours.bar_done : graph_colours.bar_running);
      height = f.plot.height() * graph_bar_fill * bar_share(r.rate, scale_peak_);
      if (r.rate > scale_peak_) moving = true;  // drawn clipped until the scale has caught up
    } else {
      target = complete ? graph_colours.failed_done : graph_colours.failed_running;
      height = graph_failed_height;
    }
    uint32_t& drawn = drawn_colours_[i];
    if (drawn == 0) drawn = int(i) == best ? graph_colours.new_best_start : target;
    else drawn = fade_colour(drawn, target);
    if (drawn != target) moving = true;
    const double inset = grid ? slot / 6 : -slot / 6;
    graph_bar bar{{x0 + inset, f.plot.bottom - height, x1 - inset, f.plot.bottom}, drawn};
    f.bars.push_back(bar);
    if (int(i) == best) best_bar = bar;
  }
  if (best >= 0 && size_t(best) < shown) f.bars.push_back(best_bar);
  return moving;
}

graph_frame pretty_graph_model::next_frame(const std::vector<test_run>& results, double width, double height,
                                           text_measure_cb& measure) {
  const direction_summary summary = summarize_direction(results);
  if (scale_peak_ == 0) scale_peak_ = summary.best_rate;
  const bool complete = planned_ != 0 && results.size() >= planned_;

  graph_frame f;
  f.client = {0, 0, width, height};
  f.background = graph_colours.background;
  f.header_colour = graph_colours.header;
  f.grid_colour = graph_colours.grid;
  const double band = measure.measure(title_, font_large).height + 2 * graph_padding;
  f.header = {0, 0, width, std::min(band, height)};
  f.plot = {graph_padding, f.header.bottom + graph_padding, width - graph_padding, height - graph_padding};
  add_header_texts(f, results.size(), summary.best, summary.best_rate, complete, measure);
  f.units_area = units_area_;

  bool moving = false;
  if (planned_ && !f.plot.empty()) moving = add_bars(f, results, summary.best, complete);
  scale_peak_ = ease_scale(scale_peak_, summary.best_rate);

  if (complete && !done_shown_) {
    done_shown_ = true;
    f.another_frame = true;
  } else {
    f.another_frame = moving;
  }
  return f;
}

graph_timer pretty_graph_model::after_paint(const graph_frame& frame) {
  if (frame.another_frame == animating_) return graph_timer::keep;
  animating_ = frame.another_frame;
  return animating_ ? graph_timer::start : graph_timer::stop;
}
