#pragma once

#include <cstdint>

// Flags of the program's message box (toolkit/xfc_message_box), here so that every layer names
// them. The icon values are the toolkit's own (0x10 is
// information and 0x40 error), not those of the system's MessageBox.
constexpr uint32_t mb_buttons_mask = 0x0F;
constexpr uint32_t mb_ok = 1;
constexpr uint32_t mb_ok_cancel = 2;
constexpr uint32_t mb_yes_no = 3;
constexpr uint32_t mb_yes_no_cancel = 4;
constexpr uint32_t mb_icon_mask = 0xF0;
constexpr uint32_t mb_icon_information = 0x10;
constexpr uint32_t mb_icon_question = 0x20;
constexpr uint32_t mb_icon_warning = 0x30;
constexpr uint32_t mb_icon_error = 0x40;
constexpr uint32_t mb_default_mask = 0xF00;
constexpr uint32_t mb_default_first = 0x100;
constexpr uint32_t mb_default_second = 0x200;
constexpr uint32_t mb_default_third = 0x300;
// Shows the check box; ticking it disables the second button (0x1000) or the first (0x2000).
constexpr uint32_t mb_check_mask = 0xF000;
constexpr uint32_t mb_check_disables_second = 0x1000;
constexpr uint32_t mb_check_disables_first = 0x2000;
constexpr uint32_t mb_bring_to_front = 0x10000;
constexpr uint32_t mb_app_window = 0x20000;

// Button results.
constexpr int mb_answer_ok = 1;
constexpr int mb_answer_cancel = 2;
constexpr int mb_answer_yes = 6;
constexpr int mb_answer_no = 7;
