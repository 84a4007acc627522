#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// One line at the bottom of a console, rewritten in place; the lines above it stay as written.
class cli_status_line {
 public:
  explicit cli_status_line(FILE* out) : out_(out) {}
  // Replaces the line's text.
  void show(const std::string& text);
  // Blanks the line, the cursor at its start: what is written next takes its place.
  void clear();
  // Ends the line as it stands: it stays on the console and the next text starts below it.
  void keep();

 private:
  FILE* out_;
  size_t shown_ = 0;
};

// "~0:21 left", "~1:02:03 left".
std::string time_left_text(uint32_t ms);
