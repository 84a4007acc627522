#include "toolkit/colour_math.h"

#include <algorithm>
#include <cmath>

hsl_colour rgb_to_hsl(COLORREF colour) {
  const double r = GetRValue(colour) / 255.0, g = GetGValue(colour) / 255.0, b = GetBValue(colour) / 255.0;
  const double high = std::max({r, g, b}), low = std::min({r, g, b});
  hsl_colour out;
  out.l = (high + low) / 2;
  const double range = high - low;
  if (range <= 0) return out;
  out.s = out.l > 0.5 ? range / (2 - high - low) : range / (high + low);
  double h;
  if (high == r) h = (g - b) / range + (g < b ? 6 : 0);
  else if (high == g) h = (b - r) / range + 2;
  else h = (r - g) / range + 4;
  out.h = h * 60;
  return out;
}

namespace {
double hue_channel(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 0.5) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

BYTE to_byte(double v) { return BYTE(std::lround(std::clamp(v, 0.0, 1.0) * 255)); }
}  // namespace

COLORREF hsl_to_rgb(const hsl_colour& c) {
  if (c.s <= 0) return RGB(to_byte(c.l), to_byte(c.l), to_byte(c.l));
  const double q = c.l < 0.5 ? c.l * (1 + c.s) : c.l + c.s - c.l * c.s;
  const double p = 2 * c.l - q;
  const double h = c.h / 360;
  return RGB(to_byte(hue_channel(p, q, h + 1.0 / 3)), to_byte(hue_channel(p, q, h)),
             to_byte(hue_channel(p, q, h - 1.0 / 3)));
}

COLORREF reduce_lightness(COLORREF colour, double fraction) {
  hsl_colour c = rgb_to_hsl(colour);
  c.l -= fraction * c.l;
  return hsl_to_rgb(c);
}

COLORREF scale_saturation(COLORREF colour, double factor) {
  hsl_colour c = rgb_to_hsl(colour);
  c.s = std::clamp(c.s * factor, 0.0, 1.0);
  return hsl_to_rgb(c);
}
