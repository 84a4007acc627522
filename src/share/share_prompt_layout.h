#pragma once

#include <windows.h>

// How the share prompt's controls follow the growth (dx, dy) of its body text: each edge moves
// by its anchor in tenths of the growth.
struct control_anchor {
  int control_id;  // 0: the etched separator, which has no id of its own
  int left, top, right, bottom;
};

constexpr int share_prompt_title_id = 1043;
constexpr int share_prompt_body_id = 1040;
constexpr int share_prompt_link_id = 3;
constexpr int share_prompt_band_id = 1035;
constexpr int share_prompt_separator_id = 0;

extern const control_anchor share_prompt_anchors[];
extern const int share_prompt_anchor_count;

RECT move_by_anchor(const RECT& rect, const control_anchor& anchor, int dx, int dy);
