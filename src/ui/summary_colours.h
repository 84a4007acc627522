#pragma once

#include <array>
#include <cstdint>

// Colours as the system keeps them: 0x00BBGGRR.
struct hsl {
  double h, s, l;  // hue in [0, 1), saturation and lightness in [0, 1]
};
hsl colour_to_hsl(uint32_t colour);
uint32_t hsl_to_colour(const hsl& c);

// The three style colours of each summary row of the test profile dialog, from the system's
// button-face colour: that colour 5% darker, the darker one with half its saturation, black.
std::array<uint32_t, 3> summary_row_colours(uint32_t button_face);
