#include "ui/test_config_controls.h"

const config_edit config_edits[config_field_count] = {
    {1109, field_buffer_sizes}, {1095, field_buffer_counts}, {1096, field_memory_cap},
    {1098, field_duration},     {1107, field_file_size},     {1108, field_init_time},
};

const config_mode_box config_mode_boxes[config_mode_box_count] = {
    // Unbuffered: no flags, sequential scan, random access.
    {1081, true, 0},
    {1082, false, 0},
    {1083, true, 1},
    {1084, false, 1},
    {1085, true, 2},
    {1086, false, 2},
    // Cached: the same three.
    {1130, true, 3},
    {1131, false, 3},
    {1132, true, 4},
    {1133, false, 4},
    {1134, true, 5},
    {1135, false, 5},
};

namespace {
const wchar_t* const access_items[] = {L"Sequential", L"Random"};
const wchar_t* const cache_items[] = {L"Leave the cache alone", L"Purge cache if a local device",
                                      L"Purge cache unconditionally"};
const wchar_t* const order_items[] = {L"Random", L"Modes, sizes, counts", L"Sizes, counts, modes"};
const wchar_t* const fill_items[] = {L"0 0 0 0 ...", L"0 1 2 3 ...", L"Random bytes"};
}  // namespace

const config_combo config_combos[config_combo_count] = {
    {1097, choice_access_pattern, access_items, 2},
    {1090, choice_cache_control, cache_items, 3},
    {1099, choice_test_order, order_items, 3},
    {1100, choice_data_pattern, fill_items, 3},
};

const config_hint config_hints[config_hint_count] = {
    {1278,
     L"The longest time one single test may run. A test ends when this time has passed or when it has "
     L"gone through the whole test file, whichever comes first.\r\n\r\n"
     L"Write the number with its unit: \"250 ms\", \"1 sec\" or \"2 min\". Longer tests even out short "
     L"stalls of the device; shorter ones keep a profile with many combinations quick."},
    {1277,
     L"Before the first test the test file is created and filled with data. This limits how long that "
     L"may take, as a multiple of the single test time: 10 with a run time of 1 sec allows 10 seconds.\r\n\r\n"
     L"When the time runs out, the tests use the part of the file written so far, which is then smaller "
     L"than \"Max file size\". 0 means no limit."},
};

const wchar_t no_tests_text[] = L"No tests selected";
const wchar_t no_tests_caption[] = L"Test configuration";
const wchar_t custom_profile_name[] = L"Custom";

const config_edit* find_config_edit(int id) {
  for (const config_edit& e : config_edits)
    if (e.id == id) return &e;
  return nullptr;
}

const config_mode_box* find_config_mode_box(int id) {
  for (const config_mode_box& b : config_mode_boxes)
    if (b.id == id) return &b;
  return nullptr;
}

const config_combo* find_config_combo(int id) {
  for (const config_combo& c : config_combos)
    if (c.id == id) return &c;
  return nullptr;
}
