#include "ui/raw_list_view.h"

#include <gtest/gtest.h>

#include "results/raw_rows.h"
#include "results/raw_texts.h"

namespace {

struct fixed_measure final : text_measure_cb {
  text_size measure(const std::wstring& text, ui_font) override { return {7 * int(text.size()), 15}; }
};

test_run record(double rate, bool ok = true) {
  test_run r;
  r.read = true;
  r.buffer_count = 4;
  r.buffer_size = 65536;
  r.ok = ok;
  r.rate = rate;
  if (!ok) r.error.api = "ReadFile";
  return r;
}

TEST(raw_list_view, each_style_draws_as_its_table_says) {
  const raw_list_palette& p = raw_list_colours;
  raw_rows rows;
  rows.add_result(record(100e6));     // heading, then a new best
  rows.add_result(record(50e6));      // plain
  rows.add_result(record(0, false));  // failed
  rows.add_best_block({record(100e6)}, {});
  struct {
    size_t row;
    int column;
    uint32_t text;
    bool bold;
  } expected[] = {
      {0, 0, p.accent, true},  {0, 1, p.text, false},   {0, 2, p.text, false},  // "# Read test"
      {1, 0, p.accent, true},  {1, 2, p.accent, true},                          // new best
      {2, 0, p.text, false},   {2, 2, p.text, false},                           // plain
      {3, 0, p.grey, true},    {3, 2, p.grey, true},                            // failed
      {5, 0, p.accent, true},                                                   // "Best read rate:"
      {6, 0, p.accent, false}, {6, 2, p.accent, false},                         // the best row
      {9, 0, p.text, false},                                                    // "n/a"
  };
  ASSERT_EQ(rows.rows()[9].buffers, raw_no_result);
  for (const auto& e : expected) {
    const raw_cell_look look = raw_cell_style(rows.rows()[e.row].style, e.row, e.column);
    EXPECT_EQ(look.text, e.text) << e.row << "," << e.column;
    EXPECT_EQ(look.bold, e.bold) << e.row << "," << e.column;
    EXPECT_EQ(look.background, p.row_background[e.row % 2]);
  }
  EXPECT_NE(p.row_background[0], p.row_background[1]);
  raw_list_palette plain = p;
  plain.separator = no_colour;
  EXPECT_EQ(raw_cell_style(style_plain, 0, 0, plain).separator, no_colour);
}

TEST(raw_list_view, columns_scrolling_and_pages) {
  fixed_measure m;
  // " 22 x 999999999 " and " raw seq " plus the list's padding; the rest to the third.
  auto w = raw_column_widths(m, 500);
  EXPECT_EQ(w[0], 16 * 7 + raw_column_margin);
  EXPECT_EQ(w[1], 9 * 7 + raw_column_margin);
  EXPECT_EQ(w[0] + w[1] + w[2], 500);
  // With the scroll bar the client area is narrower and the third column follows it.
  EXPECT_EQ(raw_column_widths(m, 483)[2], w[2] - 17);
  EXPECT_EQ(raw_column_widths(m, 100)[2], 0);

  EXPECT_TRUE(list_at_end(false, 0, 0, 0));
  EXPECT_TRUE(list_at_end(true, 81, 100, 20));
  EXPECT_FALSE(list_at_end(true, 80, 100, 20));
  EXPECT_EQ(rows_per_page(400, 24, 17), 22u);
  EXPECT_EQ(rows_per_page(20, 24, 17), 0u);
  EXPECT_EQ(rows_per_page(400, 24, 0), 0u);
}

}  // namespace
