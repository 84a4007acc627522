#pragma once

#include <string>

// How big a text is drawn: the window side answers with GetTextExtentPoint32 in the font named,
// tests with a fixed advance, so layouts are computed without a device context.
enum ui_font : int {
  font_normal = 0,  // the window's font
  font_large = 1,   // the graphs' title and number
};

struct text_size {
  int width = 0;
  int height = 0;   // one line
  int descent = 0;  // of that line, below the baseline
};

class text_measure_cb {
 public:
  virtual ~text_measure_cb() = default;
  virtual text_size measure(const std::wstring& text, ui_font font) = 0;
};
