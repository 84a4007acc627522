#include "svg_chart.h"

#include <cstdio>

#include "html_text.h"

namespace {

constexpr const char* palette[] = {"#1f5fa8", "#8a97a6", "#c98a1b"};
constexpr int label_width = 190, bar_width = 360, row_height = 26, top = 28;

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string percent(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f%%", value * 100);
  return text;
}

}  // namespace

std::string bar_chart_svg(const std::string& title, const std::vector<chart_bar>& bars) {
  int width = label_width + bar_width + 60, height = top + row_height * static_cast<int>(bars.size()) + 22;
  std::string svg = "<svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) +
                    "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " + std::to_string(width) + " " +
                    std::to_string(height) + "\" role=\"img\" aria-label=\"" + html_escape(title) + "\">\n";
  svg += "<text x=\"0\" y=\"16\" font-size=\"14\" font-weight=\"600\" fill=\"#1c2430\">" + html_escape(title) +
         "</text>\n";
  for (int tick = 0; tick <= 4; ++tick) {
    double x = label_width + bar_width * tick / 4.0;
    svg += "<line x1=\"" + number(x) + "\" y1=\"" + std::to_string(top - 4) + "\" x2=\"" + number(x) + "\" y2=\"" +
           std::to_string(height - 18) + "\" stroke=\"#d8dee6\"/>\n";
    svg += "<text x=\"" + number(x) + "\" y=\"" + std::to_string(height - 4) +
           "\" font-size=\"11\" text-anchor=\"middle\" fill=\"#5d6b7a\">" + std::to_string(tick * 25) + "%</text>\n";
  }
  int y = top;
  for (const chart_bar& bar : bars) {
    svg += "<text x=\"" + std::to_string(label_width - 8) + "\" y=\"" + std::to_string(y + 16) +
           "\" font-size=\"12\" text-anchor=\"end\" fill=\"#1c2430\">" + html_escape(bar.label) + "</text>\n";
    if (bar.missing) {
      svg += "<text x=\"" + std::to_string(label_width + 6) + "\" y=\"" + std::to_string(y + 16) +
             "\" font-size=\"12\" fill=\"#5d6b7a\">not measured</text>\n";
    } else {
      double length = bar_width * (bar.value < 0 ? 0 : bar.value > 1 ? 1 : bar.value);
      svg += "<rect x=\"" + std::to_string(label_width) + "\" y=\"" + std::to_string(y + 4) + "\" width=\"" +
             number(length) + "\" height=\"16\" fill=\"" + palette[bar.colour % 3] + "\"/>\n";
      if (bar.low >= 0) {
        double x = label_width + bar_width * (bar.low > 1 ? 1 : bar.low);
        svg += "<line x1=\"" + number(x) + "\" y1=\"" + std::to_string(y + 1) + "\" x2=\"" + number(x) + "\" y2=\"" +
               std::to_string(y + 23) + "\" stroke=\"#1c2430\" stroke-width=\"2\"/>\n";
      }
      svg += "<text x=\"" + number(label_width + length + 6) + "\" y=\"" + std::to_string(y + 16) +
             "\" font-size=\"12\" fill=\"#1c2430\">" + percent(bar.value) + "</text>\n";
    }
    y += row_height;
  }
  return svg + "</svg>\n";
}
