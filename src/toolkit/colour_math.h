#pragma once

#include <windows.h>

// Hue in degrees (0 to 360), saturation and lightness from 0 to 1.
struct hsl_colour {
  double h = 0, s = 0, l = 0;
};

hsl_colour rgb_to_hsl(COLORREF colour);
COLORREF hsl_to_rgb(const hsl_colour& colour);

// The colour with its lightness reduced by a fraction of itself (0.05: l - 0.05 l).
COLORREF reduce_lightness(COLORREF colour, double fraction);
// The colour with its saturation multiplied (0.5 halves it).
COLORREF scale_saturation(COLORREF colour, double factor);
