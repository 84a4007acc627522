#include "share/share_prompt_layout.h"

// clang-format off
const control_anchor share_prompt_anchors[] = {
//  control                      left  top  right  bottom
  {share_prompt_title_id,          0,   0,   10,     0},
  {share_prompt_body_id,           0,   0,   10,    10},
  {share_prompt_link_id,           0,  10,   10,    10},
  {share_prompt_separator_id,      0,  10,   10,    10},
  {share_prompt_band_id,           0,  10,   10,    10},
  {IDOK,                           5,  10,    5,    10},
  {IDCANCEL,                       5,  10,    5,    10},
};
// clang-format on
const int share_prompt_anchor_count = sizeof share_prompt_anchors / sizeof share_prompt_anchors[0];
static_assert(sizeof share_prompt_anchors / sizeof share_prompt_anchors[0] == 7, "one row per control");

RECT move_by_anchor(const RECT& rect, const control_anchor& anchor, int dx, int dy) {
  return RECT{rect.left + anchor.left * dx / 10, rect.top + anchor.top * dy / 10, rect.right + anchor.right * dx / 10,
              rect.bottom + anchor.bottom * dy / 10};
}
