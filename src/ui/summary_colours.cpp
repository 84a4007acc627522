#include "ui/summary_colours.h"

#include "toolkit/colour_math.h"

std::array<uint32_t, 3> summary_row_colours(uint32_t button_face) {
  const COLORREF darker = reduce_lightness(button_face, 0.05);
  return {darker, scale_saturation(darker, 0.5), 0x000000};
}
