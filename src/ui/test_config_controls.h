#pragma once

#include <cstdint>

#include "support/message_box_flags.h"

// The controls of the "Test profile" dialog (template 106) and the field each one edits.

// The edit fields, numbered by their error bit; attention goes to the lowest invalid one.
enum config_field : int {
  field_buffer_sizes = 0,
  field_buffer_counts = 1,
  field_memory_cap = 2,
  field_duration = 3,
  field_file_size = 4,
  field_init_time = 5,
};
constexpr int config_field_count = 6;
struct config_edit {
  int id;
  config_field field;
};
extern const config_edit config_edits[config_field_count];  // in error-bit order

// Reading and Writing boxes of the six modes, by mode-mask bit.
struct config_mode_box {
  int id;
  bool read;
  int bit;
};
constexpr int config_mode_box_count = 12;
extern const config_mode_box config_mode_boxes[config_mode_box_count];

// The drop-down lists besides the profile list; a field holds its item index plus one
// ("Access pattern": item 0 is sequential).
enum config_choice : int { choice_access_pattern, choice_cache_control, choice_test_order, choice_data_pattern };
struct config_combo {
  int id;
  config_choice choice;
  const wchar_t* const* items;
  int item_count;
};
constexpr int config_combo_count = 4;
extern const config_combo config_combos[config_combo_count];

// The "?" buttons and what they say.
struct config_hint {
  int id;
  const wchar_t* text;
};
constexpr int config_hint_count = 2;
extern const config_hint config_hints[config_hint_count];

constexpr int id_profile_list = 1106;
constexpr int id_flush = 1136;
constexpr int id_read_tests = 1101, id_write_tests = 1102;
constexpr int id_read_time = 1103, id_write_time = 1104, id_total_time = 1105;
constexpr int id_ok = 1, id_cancel = 2;

// "No tests selected": an OK button and the warning icon, in the toolkit message box's flags.
extern const wchar_t no_tests_text[];
extern const wchar_t no_tests_caption[];
constexpr uint32_t no_tests_box_flags = mb_icon_warning | mb_ok;

extern const wchar_t custom_profile_name[];

const config_edit* find_config_edit(int id);
const config_mode_box* find_config_mode_box(int id);
const config_combo* find_config_combo(int id);
