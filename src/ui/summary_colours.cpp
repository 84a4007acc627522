#include "ui/summary_colours.h"

#include <algorithm>
#include <cmath>

namespace {
double channel(uint32_t colour, int shift) { return double((colour >> shift) & 0xFF) / 255.0; }

uint32_t byte_of(double v) { return uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); }

double hue_channel(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 0.5) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}
}  // namespace

hsl colour_to_hsl(uint32_t colour) {
  const double r = channel(colour, 0), g = channel(colour, 8), b = channel(colour, 16);
  const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
  hsl c{0, 0, (hi + lo) / 2};
  const double d = hi - lo;
  if (d == 0) return c;  // grey: no hue, no saturation
  c.s = c.l > 0.5 ? d / (2 - hi - lo) : d / (hi + lo);
  if (hi == r) c.h = (g - b) / d + (g < b ? 6 : 0);
  else if (hi == g) c.h = (b - r) / d + 2;
  else c.h = (r - g) / d + 4;
  c.h /= 6;
  return c;
}

uint32_t hsl_to_colour(const hsl& c) {
  double r = c.l, g = c.l, b = c.l;
  if (c.s > 0) {
    const double q = c.l < 0.5 ? c.l * (1 + c.s) : c.l + c.s - c.l * c.s;
    const double p = 2 * c.l - q;
    r = hue_channel(p, q, c.h + 1.0 / 3);
    g = hue_channel(p, q, c.h);
    b = hue_channel(p, q, c.h - 1.0 / 3);
  }
  return byte_of(r) | byte_of(g) << 8 | byte_of(b) << 16;
}

std::array<uint32_t, 3> summary_row_colours(uint32_t button_face) {
  hsl c = colour_to_hsl(button_face);
  c.l -= 0.05 * c.l;
  const uint32_t darker = hsl_to_colour(c);
  c.s /= 2;
  return {darker, hsl_to_colour(c), 0x000000};
}
