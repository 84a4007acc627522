#include "ui/pretty_graph_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "bench/test_combo.h"
#include "bench/test_def.h"

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

bool finite(const rect_f& r) {
  return std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.right) && std::isfinite(r.bottom);
}

const graph_text* find_text(const graph_frame& f, const std::wstring& text) {
  for (const graph_text& t : f.texts)
    if (t.text == text) return &t;
  return nullptr;
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

  // 68 bars, the best once more on top.
  ASSERT_EQ(f.bars.size(), 69u);
  EXPECT_EQ(f.grid_lines.size(), 68u);
  const double full = f.plot.height() * 0.85;
  for (size_t i = 0; i < all.size(); ++i) {
    const graph_bar& bar = f.bars[i];
    if (!all[i].ok) {
      EXPECT_DOUBLE_EQ(bar.box.height(), 3.0);
      EXPECT_EQ(bar.colour, 0x800044DDu);
      continue;
    }
    EXPECT_NEAR(bar.box.height(), full * all[i].rate / 2.5e9, 1e-9) << i;
    EXPECT_EQ(bar.box.bottom, f.plot.bottom);
    EXPECT_EQ(bar.colour, i == 41 ? 0xFFAAEEFFu : 0xFF3D6082u) << i;
  }
  EXPECT_EQ(f.bars.back().box.left, f.bars[41].box.left);
  EXPECT_DOUBLE_EQ(f.bars[41].box.height(), full);
  // Complete: no progress text, the number in the finished colour.
  EXPECT_EQ(find_text(f, L"68 / 68"), nullptr);
  const graph_text* number = find_text(f, L"2384.2");
  ASSERT_NE(number, nullptr);
  EXPECT_EQ(number->colour, 0xFFAAEEFFu);
  // Nothing moves: the next paint asks for none and the timer stays off.
  fixed_measure m;
  EXPECT_FALSE(g.next_frame(all, width, height, m).another_frame);
}

TEST(pretty_graph_model, the_timer_starts_and_stops_with_the_animation) {
  pretty_graph_model g;
  g.set_planned(3);
  std::vector<test_run> results(1);
  results[0].ok = true;
  results[0].rate = 100e6;
  fixed_measure m;
  // The first best bar starts white and fades in.
  graph_frame f = g.next_frame(results, width, height, m);
  EXPECT_EQ(f.bars[0].colour, 0xFFFFFFFFu);
  EXPECT_TRUE(f.another_frame);
  EXPECT_EQ(g.after_paint(f), graph_timer::start);
  EXPECT_EQ(g.after_paint(f), graph_timer::keep);
  const graph_text* progress = find_text(f, L"1 / 3");
  ASSERT_NE(progress, nullptr);
  EXPECT_DOUBLE_EQ(progress->box.left + progress->box.width() / 2, width / 2);
  paint_until_still(g, results, f);
  EXPECT_FALSE(g.animating());
  EXPECT_EQ(f.bars[0].colour, 0xFFFFD201u);

  // A later, faster result is clipped first, then the scale halves its distance each frame.
  results.push_back(results[0]);
  results[1].rate = 400e6;
  f = g.next_frame(results, width, height, m);
  EXPECT_TRUE(f.another_frame);
  EXPECT_DOUBLE_EQ(f.bars[1].box.height(), f.plot.height() * 0.85);
  EXPECT_EQ(f.bars[1].colour, 0xFFFFFFFFu);
  EXPECT_EQ(f.bars[0].colour, fade_colour(0xFFFFD201u, 0xFF4D7594u));  // the old best fades to plain
  EXPECT_EQ(g.scale_peak(), 250e6);
  f = g.next_frame(results, width, height, m);
  EXPECT_EQ(g.scale_peak(), 325e6);

  g.after_paint(f);
  EXPECT_EQ(g.reset_run(), graph_timer::stop);
  EXPECT_EQ(g.planned(), 0u);
  EXPECT_EQ(g.scale_peak(), 0);
}

TEST(pretty_graph_model, failed_and_zero_rates_never_divide_by_zero) {
  fixed_measure m;
  for (bool ok : {false, true}) {
    pretty_graph_model g;
    g.set_planned(4);
    std::vector<test_run> results(4);
    for (test_run& r : results) r.ok = ok;  // all failed, or all completed at rate 0
    graph_frame f;
    EXPECT_LE(paint_until_still(g, results, f), settle_bound);
    EXPECT_EQ(g.scale_peak(), 0);
    for (const graph_bar& b : f.bars) {
      EXPECT_TRUE(finite(b.box));
      EXPECT_DOUBLE_EQ(b.box.height(), ok ? 0.0 : 3.0);
    }
    EXPECT_EQ(f.bars.size(), 4u);  // no best bar drawn again
    const graph_text* zero = find_text(f, L"0.0 MBps *");
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(zero->colour, 0xFF637590u);
    EXPECT_EQ(zero->box.right, width - graph_padding);
    EXPECT_TRUE(g.units_hit(zero->box.left + 1, 5));
  }
  // A tiny control has no plot area at all.
  pretty_graph_model g;
  g.set_planned(2);
  std::vector<test_run> one(1);
  one[0].ok = true;
  one[0].rate = 1e6;
  graph_frame f = g.next_frame(one, 10, 20, m);
  EXPECT_TRUE(f.bars.empty());
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
  const graph_text* unit = find_text(binary, L" MBps *");
  const graph_text* number = find_text(binary, L"117.7");
  ASSERT_TRUE(unit && number);
  EXPECT_EQ(unit->colour, 0xFF7989A0u);
  EXPECT_EQ(unit->font, font_normal);
  EXPECT_EQ(number->font, font_large);
  EXPECT_EQ(unit->box.right, width - graph_padding);
  EXPECT_EQ(number->box.right, unit->box.left);
  // Number and unit stand on one baseline, the large font's descent above the band's padding.
  EXPECT_EQ(number->box.bottom - 6, unit->box.bottom - 3);
  EXPECT_EQ(number->box.bottom, binary.header.bottom - graph_padding);
  EXPECT_EQ(binary.units_area.left, number->box.left);
  EXPECT_EQ(binary.units_area.right, width);
  EXPECT_TRUE(g.units_hit(number->box.left + 1, number->box.top + 1));
  EXPECT_FALSE(g.units_hit(number->box.left - 1, number->box.top + 1));

  g.set_decimal_units(true);
  graph_frame decimal = g.next_frame(results, width, height, m);
  EXPECT_NE(find_text(decimal, L"123.5"), nullptr);
  EXPECT_NE(find_text(decimal, L" MBps \u00B9"), nullptr);
  g.set_font_face(L"SEGOE UI");
  EXPECT_EQ(g.units_label(), L" MBps \u1D34");
  g.set_font_face(L"Sego");
  EXPECT_EQ(g.units_label(), L" MBps \u00B9");
  ASSERT_EQ(decimal.bars.size(), binary.bars.size());
  for (size_t i = 0; i < binary.bars.size(); ++i) {
    EXPECT_EQ(decimal.bars[i].box.top, binary.bars[i].box.top);
    EXPECT_EQ(decimal.bars[i].box.left, binary.bars[i].box.left);
  }
}

TEST(pretty_graph_model, slots_and_titles) {
  fixed_measure m;
  pretty_graph_model g;
  // Before a run: the title alone, dimmed.
  graph_frame f = g.next_frame({}, width, height, m);
  ASSERT_EQ(f.texts.size(), 1u);
  EXPECT_EQ(f.texts[0].text, L"$fixme");
  EXPECT_EQ(f.texts[0].colour, 0xFF7989A0u);
  EXPECT_TRUE(f.bars.empty() && f.grid_lines.empty());
  EXPECT_TRUE(f.units_area.empty());
  EXPECT_FALSE(f.another_frame);

  // One planned test: one slot the width of the plot, its bar a sixth in from each side.
  std::vector<test_run> one(1);
  one[0].ok = true;
  one[0].rate = 5e6;
  g.set_title(L"Write speed");
  g.set_planned(1);
  f = g.next_frame(one, width, height, m);
  EXPECT_EQ(f.texts[0].text, L"Write speed");
  EXPECT_EQ(f.texts[0].colour, 0xFFFFFFFFu);
  ASSERT_EQ(f.grid_lines.size(), 1u);
  EXPECT_NEAR(f.bars[0].box.left, f.plot.left + f.plot.width() / 6, 1e-9);
  EXPECT_NEAR(f.bars[0].box.right, f.plot.right - f.plot.width() / 6, 1e-9);

  // More tests than pixels: no grid, bars overlapping by a sixth of a slot on each side.
  g.reset_run();
  g.set_planned(2000);
  std::vector<test_run> many(2, one[0]);
  f = g.next_frame(many, width, height, m);
  const double slot = f.plot.width() / 2000;
  EXPECT_TRUE(f.grid_lines.empty());
  EXPECT_NEAR(f.bars[1].box.left, f.plot.left + slot - slot / 6, 1e-9);
  EXPECT_NEAR(f.bars[1].box.width(), slot * 4 / 3, 1e-9);
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
