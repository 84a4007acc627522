#pragma once

#include <array>
#include <cstdint>

// The three style colours of each summary row of the test profile dialog, from the system's
// button-face colour (0x00BBGGRR): that colour 5% darker, the darker one with half its
// saturation, black.
std::array<uint32_t, 3> summary_row_colours(uint32_t button_face);
