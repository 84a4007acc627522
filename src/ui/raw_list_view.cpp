#include "ui/raw_list_view.h"

#include "results/raw_rows.h"
#include "results/raw_texts.h"

const raw_list_palette raw_list_colours = {
    /* row_background    */ {rgb(0xFF, 0xFF, 0xFF), rgb(0xF2, 0xF5, 0xF9)},
    /* text              */ rgb(0x1E, 0x23, 0x2B),
    /* accent            */ rgb(0x1F, 0x5F, 0xA8),
    /* grey              */ rgb(0x8A, 0x90, 0x99),
    /* separator         */ rgb(0xE1, 0xE6, 0xEE),
    /* header_background */ rgb(0xE8, 0xED, 0xF4),
    /* header_text       */ rgb(0x1B, 0x30, 0x4F),
};

std::array<int, raw_column_count> raw_column_widths(text_measure_cb& measure, int client_width) {
  std::array<int, raw_column_count> widths{};
  int used = 0;
  for (int i = 0; i < raw_column_count; ++i) {
    if (!raw_columns[i].sizing_text) continue;
    widths[i] = measure.measure(raw_columns[i].sizing_text, font_normal).width + raw_column_margin;
    used += widths[i];
  }
  // The rest of the width, never negative in a list narrower than the first two columns.
  widths[raw_column_count - 1] = client_width > used ? client_width - used : 0;
  return widths;
}

raw_cell_look raw_cell_style(uint8_t style, size_t row, int column, const raw_list_palette& palette) {
  raw_cell_look look{palette.text, palette.row_background[row & 1], false, palette.separator};
  if ((style & row_first_column_only) && column != 0) return look;
  look.bold = (style & row_bold) != 0;
  if (style & row_grey) look.text = palette.grey;
  else if (style & row_accent) look.text = palette.accent;
  return look;
}

bool list_at_end(bool has_vertical_scroll_bar, int position, int maximum, int page) {
  return !has_vertical_scroll_bar || position == maximum - page + 1;
}

size_t rows_per_page(int client_height, int first_row_top, int row_height) {
  if (row_height <= 0 || client_height <= first_row_top) return 0;
  return size_t((client_height - first_row_top) / row_height);
}
