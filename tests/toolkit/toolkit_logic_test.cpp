#include <gtest/gtest.h>

#include "golden.h"
#include "support/text.h"
#include "toolkit/colour_math.h"
#include "toolkit/dialog_font.h"
#include "toolkit/file_dialogs.h"
#include "toolkit/window_placement.h"
#include "toolkit/xfc_vc_editbox.h"

namespace {
std::vector<long> numbers(const std::string& text) {
  std::vector<long> out;
  for (const std::string& w : words(text)) out.push_back(std::stol(w, nullptr, 0));
  return out;
}
std::string colour(COLORREF c) {
  char s[16];
  snprintf(s, sizeof s, "0x%06lx", (unsigned long)c);
  return s;
}
std::string rect(const RECT& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
         std::to_string(r.bottom);
}

// "font_points height dpi", "reduce_lightness colour fraction", "scale_saturation colour factor",
// "filter text", "extension path|pattern", "vc_edit l t r b line frame padding",
// "centred l t r b width height work_l work_t work_r work_b".
std::string answer(const std::string& question) {
  const size_t space = question.find(' ');
  const std::string fn = question.substr(0, space), arg = question.substr(space + 1);
  if (fn == "filter") {
    std::string out;
    for (const auto& [name, pattern] : parse_file_filter(from_utf8(arg)))
      out += to_utf8(name + L" = " + pattern + L"; ");
    return out;
  }
  if (fn == "extension") {
    const size_t bar = arg.find('|');
    return to_utf8(with_pattern_extension(from_utf8(arg.substr(0, bar)), from_utf8(arg.substr(bar + 1))));
  }
  const std::vector<long> n = numbers(arg.substr(0, arg.rfind(' ')));
  const double last = std::stod(arg.substr(arg.rfind(' ') + 1));
  if (fn == "font_points") return std::to_string(font_points_from_height(n[0], int(last)));
  if (fn == "reduce_lightness") return colour(reduce_lightness(COLORREF(n[0]), last));
  if (fn == "scale_saturation") return colour(scale_saturation(COLORREF(n[0]), last));
  if (fn == "vc_edit") return rect(vc_edit_client_rect({n[0], n[1], n[2], n[3]}, n[4], n[5], int(last)));
  if (fn != "centred") return "unknown question";
  const POINT p = centred_position({n[0], n[1], n[2], n[3]}, {n[4], n[5]}, {n[6], n[7], n[8], long(last)});
  return std::to_string(p.x) + " " + std::to_string(p.y);
}
}  // namespace

TEST(toolkit_logic, shades_font_points_file_filters_edit_lines_and_placement) {
  expect_table("toolkit/toolkit_logic.txt", answer);
}
