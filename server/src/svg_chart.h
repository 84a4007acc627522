// Horizontal bar charts drawn on the server as inline SVG: no script, and colours and sizes as
// attributes, which the pages' content policy allows where style attributes are refused.
#pragma once
#include <string>
#include <vector>

struct chart_bar {
  std::string label;
  double value = 0;      // 0 to 1, drawn as a percentage
  double low = -1;       // a second mark (e.g. the 10th percentile); below 0: none
  bool missing = false;  // no figure: the bar says so instead
  int colour = 0;        // index into the chart palette
};

std::string bar_chart_svg(const std::string& title, const std::vector<chart_bar>& bars);
