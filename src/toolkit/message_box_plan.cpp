#include "toolkit/message_box_plan.h"

#include <algorithm>

#include "support/fatal.h"

const wchar_t mb_label_yes[] = L"&Yes";
const wchar_t mb_label_no[] = L"&No";
const wchar_t mb_label_ok[] = L"OK";
const wchar_t mb_label_cancel[] = L"Cancel";

namespace {
void set_buttons(message_box_plan& plan, std::initializer_list<std::pair<int, const wchar_t*>> buttons) {
  for (const auto& [answer, label] : buttons) {
    plan.answers[plan.button_count] = answer;
    plan.labels[plan.button_count] = label;
    ++plan.button_count;
  }
}
}  // namespace

message_box_plan plan_message_box(uint32_t flags) {
  message_box_plan plan;
  const uint32_t set = flags & mb_buttons_mask;
  switch (set) {
    case mb_ok:
      set_buttons(plan, {{mb_answer_ok, mb_label_ok}});
      plan.escape_answer = mb_answer_ok;
      break;
    case mb_ok_cancel:
      set_buttons(plan, {{mb_answer_ok, mb_label_ok}, {mb_answer_cancel, mb_label_cancel}});
      plan.escape_answer = mb_answer_cancel;
      break;
    case mb_yes_no:
      // Only an answer ends this box: Esc and the close box do nothing.
      set_buttons(plan, {{mb_answer_yes, mb_label_yes}, {mb_answer_no, mb_label_no}});
      break;
    case mb_yes_no_cancel:
      set_buttons(plan,
                  {{mb_answer_yes, mb_label_yes}, {mb_answer_no, mb_label_no}, {mb_answer_cancel, mb_label_cancel}});
      plan.escape_answer = mb_answer_cancel;
      break;
    default: fatal("xfc_message_box: button set");
  }

  switch (flags & mb_default_mask) {
    case mb_default_second: plan.default_button = 1; break;
    case mb_default_third: plan.default_button = 2; break;
    default: plan.default_button = 0; break;
  }
  if (plan.default_button >= plan.button_count) plan.default_button = 0;

  const uint32_t check = flags & (mb_check_disables_second | mb_check_disables_first);
  if (check) {
    if (set == mb_yes_no_cancel || check == (mb_check_disables_second | mb_check_disables_first))
      fatal("xfc_message_box: check box");
    plan.check_box = true;
    plan.check_label = set == mb_ok ? L"  &Don't prompt again" : L"  &Don't ask again";
    // A lone "OK" is never disabled: the box would have no button left.
    if (plan.button_count == 2) plan.check_disables = check == mb_check_disables_second ? 1 : 0;
  }

  switch (flags & mb_icon_mask) {
    case mb_icon_information: plan.icon = mb_icon::information; break;
    case mb_icon_question: plan.icon = mb_icon::question; break;
    case mb_icon_warning: plan.icon = mb_icon::warning; break;
    case mb_icon_error: plan.icon = mb_icon::error; break;
    default: plan.icon = mb_icon::none; break;
  }
  plan.bring_to_front = (flags & mb_bring_to_front) != 0;
  plan.app_window = (flags & mb_app_window) != 0;
  return plan;
}

uint32_t message_box_result_flags(uint32_t flags, bool ticked) {
  const uint32_t check = flags & (mb_check_disables_second | mb_check_disables_first);
  return (flags & ~check) | (ticked ? check : 0);
}

message_box_layout layout_message_box(const message_box_metrics& m, SIZE text, int button_count, bool check_box) {
  message_box_layout out;
  const int text_left = m.margin + (m.icon_size ? m.icon_size + m.icon_gap : 0);
  const int message_height = std::max<int>(text.cy, m.icon_size);
  const int buttons_width = button_count * m.button_width + (button_count - 1) * m.button_gap;
  const int band_width = m.margin + (check_box ? m.check_width + m.button_gap * 2 : 0) + buttons_width + m.margin;
  const int width = std::max({text_left + int(text.cx) + m.margin, band_width, m.min_client_width});
  const int band_top = m.margin + message_height + m.margin;
  const int band_inner = std::max(m.button_height, check_box ? m.check_height : 0);
  out.client = {width, band_top + m.margin + band_inner + m.margin};

  if (m.icon_size) out.icon = {m.margin, m.margin, m.margin + m.icon_size, m.margin + m.icon_size};
  // A text shorter than the icon stands centred beside it.
  const int text_top = m.margin + (message_height - text.cy) / 2;
  out.text = {text_left, text_top, text_left + text.cx, text_top + text.cy};
  out.band = {0, band_top, width, out.client.cy};

  const int button_top = band_top + m.margin + (band_inner - m.button_height) / 2;
  int right = width - m.margin;
  for (int position = 2; position >= 0; --position) {
    out.buttons[position] = {right - m.button_width, button_top, right, button_top + m.button_height};
    right -= m.button_width + m.button_gap;
  }
  if (check_box) {
    const int check_top = band_top + m.margin + (band_inner - m.check_height) / 2;
    out.check = {m.margin, check_top, m.margin + m.check_width, check_top + m.check_height};
  }
  return out;
}
