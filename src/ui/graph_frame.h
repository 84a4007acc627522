#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/text_measure_cb.h"

struct rect_f {
  double left = 0, top = 0, right = 0, bottom = 0;
  double width() const { return right - left; }
  double height() const { return bottom - top; }
  bool contains(double x, double y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool empty() const { return !(right > left && bottom > top); }
};

// One text of a frame: drawn on one line with its top-left corner at box's.
struct graph_text {
  std::wstring text;
  rect_f box;
  ui_font font = font_normal;
  uint32_t colour = 0;  // 0xAARRGGBB
};

struct graph_bar {
  rect_f box;
  uint32_t colour = 0;  // 0xAARRGGBB, alpha included
};

// Everything one paint of a graph draws, in order: background, header band, grid lines, bars,
// texts. Rectangles are in client pixels, as doubles for anti-aliased filling.
struct graph_frame {
  rect_f client, header, plot;
  uint32_t background = 0, header_colour = 0, grid_colour = 0;
  std::vector<rect_f> grid_lines;
  std::vector<graph_bar> bars;  // the best bar comes again last, on top
  std::vector<graph_text> texts;
  rect_f units_area;  // empty when no value is shown
  bool another_frame = false;
};
