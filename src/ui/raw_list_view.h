#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "ui/text_measure_cb.h"

// How the raw-data list (control 1018) draws the rows of raw_rows. The window side:
// - creates the three columns from raw_columns with raw_column_widths(), the list with the
//   extended styles raw_list_ex_styles, and sets the widths again whenever rows are added or the
//   list changes size (the third column ends at the client area's right edge, so it shrinks
//   when the vertical scroll bar appears);
// - on NM_CUSTOMDRAW asks for item and subitem notifications and, per subitem, sets clrText,
//   clrTextBk and the font of raw_cell_look() (CDRF_NEWFONT); on the item's post-paint it draws
//   the one-pixel separator along the row's bottom when the look has one;
// - before adding a tick's rows, asks list_at_end() whether to scroll each new row into view;
// - the main window draws the list's column header (forwarded to it by raw_results) in the
//   palette's header colours.

// LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP | LVS_EX_DOUBLEBUFFER
constexpr uint32_t raw_list_ex_styles = 0x00000020 | 0x00004000 | 0x00010000;

// Colours as the system keeps them, 0x00BBGGRR.
constexpr uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) { return r | g << 8 | b << 16; }
constexpr uint32_t no_colour = 0xFFFFFFFF;

struct raw_list_palette {
  uint32_t row_background[2];  // by row parity
  uint32_t text;
  uint32_t accent;
  uint32_t grey;
  uint32_t separator;  // no_colour: no separator lines
  uint32_t header_background;
  uint32_t header_text;
};
extern const raw_list_palette raw_list_colours;

// Titles and sizing texts come from raw_columns; all three columns are left-aligned, since the
// rows pad their numbers themselves.
constexpr int raw_column_count = 3;
constexpr int raw_column_margin = 12;  // the list's own padding around a column's text
std::array<int, raw_column_count> raw_column_widths(text_measure_cb& measure, int client_width);

struct raw_cell_look {
  uint32_t text;
  uint32_t background;
  bool bold;
  uint32_t separator;  // no_colour: none
};
// The look of one cell from its row's style bits (raw_rows.h), row index and column.
raw_cell_look raw_cell_style(uint8_t style, size_t row, int column, const raw_list_palette& palette = raw_list_colours);

// The list counts as scrolled to its end with no vertical scroll bar, or when the scroll
// position is the last one (maximum minus page plus one).
bool list_at_end(bool has_vertical_scroll_bar, int position, int maximum, int page);
// Whole rows that fit below the top of the first row.
size_t rows_per_page(int client_height, int first_row_top, int row_height);
