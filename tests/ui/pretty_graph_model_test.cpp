#include "ui/pretty_graph_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "bench/test_combo.h"
#include "bench/test_def.h"
#include "golden.h"
#include "support/text.h"

namespace {

// A fixed advance per character, like a monospaced font.
struct fixed_measure final : text_measure_cb {
  text_size measure(const std::wstring& text, ui_font font) override {
    return font == font_large ? text_size{12 * int(text.size()), 24, 6} : text_size{7 * int(text.size()), 15, 3};
  }
};

constexpr double width = 600, height = 300;
constexpr int settle_bound = 40;  // frames; the fade and the scale each arrive within about a dozen

std::vector<test_run> quick_read_run() {
  test_def quick;
  std::vector<test_combo> combos;
  generate_combo_vec(quick, true, combos);
  std::vector<test_run> runs;
  for (size_t i = 0; i < combos.size(); ++i) {
    test_run r;
    r.buffer_size = uint32_t(combos[i].buffer_size);
    r.buffer_count = combos[i].buffer_count;
    r.open_flags = combos[i].open_flags;
    r.ok = true;
    r.rate = 40e6 + double(i) * 7.5e6;  // every result a new best while they arrive
    runs.push_back(r);
  }
  runs[9].ok = false;
  runs[9].rate = 0;
  runs[41].rate = 2.5e9;  // the best, then slower ones again
  return runs;
}

// Paints until no further frame is asked for; returns the frames painted.
int paint_until_still(pretty_graph_model& g, const std::vector<test_run>& results, graph_frame& last) {
  fixed_measure m;
  for (int n = 1; n <= settle_bound; ++n) {
    last = g.next_frame(results, width, height, m);
    g.after_paint(last);
    if (!last.another_frame) return n;
  }
  return settle_bound + 1;
}

const graph_text* find_text(const graph_frame& f, const std::wstring& text) {
  for (const graph_text& t : f.texts)
    if (t.text == text) return &t;
  return nullptr;
}

// A frame as text, a line for each rectangle, bar and text, to compare with a golden file.
std::string frame_text(const graph_frame& f) {
  std::ostringstream o;
  o.precision(12);
  auto box = [](std::ostream& o, const rect_f& r) -> std::ostream& {
    return o << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom;
  };
  box(o << "plot ", f.plot) << "\n";
  box(o << "header ", f.header) << "\n";
  box(o << "units ", f.units_area) << "\n";
  for (const graph_text& t : f.texts)
    box(o << "text \"" << to_utf8(t.text) << "\" " << std::hex << t.colour << std::dec << " font " << int(t.font)
          << " ",
        t.box)
        << "\n";
  for (const graph_bar& b : f.bars) box(o << "bar " << std::hex << b.colour << std::dec << " ", b.box) << "\n";
  o << f.grid_lines.size() << " grid lines" << (f.another_frame ? ", another frame" : "") << "\n";
  return o.str();
}

TEST(pretty_graph_model, a_finished_quick_run_settles_with_every_bar_at_its_height) {
  const std::vector<test_run> all = quick_read_run();
  ASSERT_EQ(all.size(), 68u);
  pretty_graph_model g;
  g.set_title(L"Read speed");
  g.set_planned(68);
  // The run timer hands over a few results at a time; the animation runs in between.
  std::vector<test_run> shown;
  graph_frame f;
  for (size_t i = 0; i < all.size(); ++i) {
    shown.push_back(all[i]);
    if (i % 3 == 2) paint_until_still(g, shown, f);
  }
  const int frames = paint_until_still(g, all, f);
  EXPECT_LE(frames, settle_bound);
  EXPECT_FALSE(g.animating());
  EXPECT_TRUE(g.done_shown());
  EXPECT_EQ(g.scale_peak(), 2.5e9);

  // 68 bars at their heights, the best once more on top; no progress text, the number in the
  // finished colour.
  expect_golden(frame_text(f), "ui/graph_quick_run_done.txt");
  // Nothing moves: the next paint asks for none and the timer stays off.
  fixed_measure m;
  EXPECT_FALSE(g.next_frame(all, width, height, m).another_frame);
}

// The first best bar starts white and fades in, the progress text centred; a later, faster result
// is clipped first while the scale halves its distance each frame and the old best fades to plain.
TEST(pretty_graph_model, the_timer_starts_and_stops_with_the_animation) {
  pretty_graph_model g;
  g.set_planned(3);
  std::vector<test_run> results(1);
  results[0].ok = true;
  results[0].rate = 100e6;
  fixed_measure m;
  std::string seen;
  graph_frame f;
  auto look = [&](const std::string& moment) {
    f = g.next_frame(results, width, height, m);
    seen += "== " + moment + ", peak " + std::to_string(g.scale_peak()) + "\n" + frame_text(f);
  };
  look("the first result");
  const graph_timer first = g.after_paint(f), second = g.after_paint(f);
  seen += "timer " + std::to_string(int(first)) + " " + std::to_string(int(second)) + "\n";
  const int frames = paint_until_still(g, results, f);
  seen += "settled in " + std::to_string(frames) + " frames\n" + frame_text(f);
  results.push_back(results[0]);
  results[1].rate = 400e6;
  look("a faster result");
  look("the next frame");
  g.after_paint(f);
  const graph_timer reset = g.reset_run();
  seen += "reset: timer " + std::to_string(int(reset)) + ", planned " + std::to_string(g.planned()) + ", peak " +
          std::to_string(g.scale_peak()) + "\n";
  expect_golden(seen, "ui/graph_timer.txt");
}

// All failed, or all completed at rate 0: finite bars (no best drawn again), "0.0" with its unit;
// a tiny control has no plot area at all.
TEST(pretty_graph_model, failed_and_zero_rates_never_divide_by_zero) {
  fixed_measure m;
  std::string frames;
  for (bool ok : {false, true}) {
    pretty_graph_model g;
    g.set_planned(4);
    std::vector<test_run> results(4);
    for (test_run& r : results) r.ok = ok;
    graph_frame f;
    EXPECT_LE(paint_until_still(g, results, f), settle_bound);
    EXPECT_EQ(g.scale_peak(), 0);
    frames += std::string(ok ? "== rate 0\n" : "== failed\n") + frame_text(f);
    EXPECT_TRUE(g.units_hit(f.units_area.left + 1, 5));
  }
  pretty_graph_model g;
  g.set_planned(2);
  std::vector<test_run> one(1);
  one[0].ok = true;
  one[0].rate = 1e6;
  frames += "== tiny\n" + frame_text(g.next_frame(one, 10, 20, m));
  expect_golden(frames, "ui/graph_failed_and_zero.txt");
}

TEST(pretty_graph_model, both_units_give_their_texts_and_the_same_bars) {
  std::vector<test_run> results(2);
  results[0].ok = results[1].ok = true;
  results[0].rate = 123456789;
  results[1].rate = 1e6;
  fixed_measure m;
  pretty_graph_model g;
  g.set_planned(2);
  graph_frame binary = g.next_frame(results, width, height, m);
  const graph_text* number = find_text(binary, L"117.7");
  ASSERT_TRUE(number);
  EXPECT_TRUE(g.units_hit(number->box.left + 1, number->box.top + 1));
  EXPECT_FALSE(g.units_hit(number->box.left - 1, number->box.top + 1));
  g.set_decimal_units(true);
  graph_frame decimal = g.next_frame(results, width, height, m);
  // Number and unit on one baseline at the header's right, in either unit; the same bars.
  expect_golden(frame_text(binary) + "== decimal\n" + frame_text(decimal), "ui/graph_units.txt");
  g.set_font_face(L"SEGOE UI");
  EXPECT_EQ(g.units_label(), L" MBps \u1D34");
  g.set_font_face(L"Sego");
  EXPECT_EQ(g.units_label(), L" MBps \u00B9");
}

// Before a run the title alone, dimmed; one planned test: one slot the width of the plot, its bar
// a sixth in from each side; more tests than pixels: no grid, bars overlapping by a sixth of a
// slot on each side.
TEST(pretty_graph_model, slots_and_titles) {
  fixed_measure m;
  pretty_graph_model g;
  std::string frames = frame_text(g.next_frame({}, width, height, m));
  std::vector<test_run> one(1);
  one[0].ok = true;
  one[0].rate = 5e6;
  g.set_title(L"Write speed");
  g.set_planned(1);
  frames += "== one test\n" + frame_text(g.next_frame(one, width, height, m));
  g.reset_run();
  g.set_planned(2000);
  frames += "== 2000 tests\n" + frame_text(g.next_frame(std::vector<test_run>(2, one[0]), width, height, m));
  expect_golden(frames, "ui/graph_slots_and_titles.txt");
}

TEST(pretty_graph_model, fade_and_easing_always_arrive) {
  // (2 x 254 + 255) / 3 is 254 again: the plain integer fade never gets there.
  EXPECT_EQ(fade_colour(0xFEFEFEFEu, 0xFFFFFFFFu), 0xFFFFFFFFu);
  EXPECT_EQ(fade_colour(0x00000000u, 0x0000000Au), 0x00000003u);
  const uint32_t targets[] = {0xFFFFD201u, 0xFF3D6082u, 0x800044DDu, 0xFFAAEEFFu};
  const uint32_t starts[] = {0xFFFFFFFFu, 0x00000001u, 0xFF4D7594u, 0x7F010203u};
  for (uint32_t target : targets)
    for (uint32_t c : starts) {
      int steps = 0;
      while (c != target && steps < 100) c = fade_colour(c, target), ++steps;
      EXPECT_LE(steps, 14) << std::hex << target;
    }
  // Halving the distance alone can stall between neighbouring doubles.
  EXPECT_EQ(ease_scale(std::nextafter(3e8, 0.0), 3e8), 3e8);
  EXPECT_EQ(ease_scale(3e8, 1e8), 3e8);  // the scale never shrinks during a run
  double peak = 1.0;
  int steps = 0;
  while (peak != 4e9 && steps < 100) peak = ease_scale(peak, 4e9), ++steps;
  EXPECT_LE(steps, 12);
}

}  // namespace
