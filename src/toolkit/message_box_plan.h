#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "support/message_box_flags.h"

// The process-wide button labels.
extern const wchar_t mb_label_yes[];     // "&Yes"
extern const wchar_t mb_label_no[];      // "&No"
extern const wchar_t mb_label_ok[];      // "OK"
extern const wchar_t mb_label_cancel[];  // "Cancel"

enum class mb_icon { none, information, question, warning, error };

// What a box with given flags shows and how it answers. Buttons fill the rightmost of three
// positions; `answers[i]` is the id of the i-th button of the set from the left.
struct message_box_plan {
  int button_count = 0;
  int answers[3] = {};
  const wchar_t* labels[3] = {};
  int default_button = 0;  // index in the set
  int escape_answer = 0;   // what Esc and the close box give; 0: they do nothing
  bool check_box = false;
  std::wstring check_label;
  int check_disables = -1;  // index in the set of the button the ticked box disables; -1 none
  mb_icon icon = mb_icon::none;
  bool bring_to_front = false;
  bool app_window = false;
};

// Ends the process (abort) for a button set other than 1 to 4, for a check box with set 4,
// and for both check-box bits at once: they are the caller's mistakes, not input.
message_box_plan plan_message_box(uint32_t flags);

// Position (0..2, left to right) of the i-th button of a set of `count`.
inline int mb_button_position(int index, int count) { return 3 - count + index; }

// The flags handed back: the check-box bit survives only when the box was ticked.
uint32_t message_box_result_flags(uint32_t flags, bool ticked);

// Pixel sizes the layout works with, from the dialog font and the system metrics.
struct message_box_metrics {
  int margin = 11;        // around the message and inside the button band
  int icon_size = 0;      // 0 when there is no icon
  int icon_gap = 11;      // between the icon and the text
  int button_width = 75;  // every button the same
  int button_height = 23;
  int button_gap = 6;
  int check_width = 0;  // 0 when there is no check box
  int check_height = 0;
  int min_client_width = 0;
};

struct message_box_layout {
  SIZE client = {};
  RECT icon = {};
  RECT text = {};
  RECT band = {};        // the button band below the message
  RECT buttons[3] = {};  // the three positions, left to right
  RECT check = {};
};

// Places the icon and the text in the message area and the buttons (right-aligned) and the
// check box (left) in the band below; the box is as wide as the wider of the two.
message_box_layout layout_message_box(const message_box_metrics& m, SIZE text, int button_count, bool check_box);
