#include "toolkit/message_box_plan.h"

#include <gtest/gtest.h>

#include <string>

#include "golden.h"
#include "support/text.h"
#include "toolkit/xfc_message_box.h"

namespace {
const char* icon_name(mb_icon i) {
  const char* names[] = {"none", "information", "question", "warning", "error"};
  return names[int(i)];
}

std::string hex(uint32_t v) {
  char s[16];
  snprintf(s, sizeof s, "0x%05x", unsigned(v));
  return s;
}

std::string rect(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// One line per flags: buttons (label=answer@position), default, escape, icon, check box, window
// flags, and the flags handed back ticked and not.
std::string plan_line(uint32_t flags) {
  const message_box_plan p = plan_message_box(flags);
  std::string out = hex(flags) + " ";
  for (int i = 0; i < p.button_count; ++i)
    out += to_utf8(p.labels[i]) + "=" + std::to_string(p.answers[i]) + "@" +
           std::to_string(mb_button_position(i, p.button_count)) + " ";
  out += "default " + std::to_string(p.default_button) + " escape " + std::to_string(p.escape_answer) + " icon " +
         icon_name(p.icon) + " check " + (p.check_box ? "\"" + to_utf8(p.check_label) + "\"" : "-") + " disables " +
         std::to_string(p.check_disables) + " front " + std::to_string(p.bring_to_front) + " app " +
         std::to_string(p.app_window) + " ticked " + hex(message_box_result_flags(flags, true)) + " unticked " +
         hex(message_box_result_flags(flags, false)) + "\n";
  return out;
}
}  // namespace

TEST(message_box_plan, button_sets_defaults_icons_check_boxes_and_returned_flags) {
  std::string out;
  for (uint32_t flags : {0x41u, 0x01u, 0x02u, 0x03u,    0x04u,    0x104u,  0x204u,  0x304u,  0x301u,  0x302u,  0x11u,
                         0x21u, 0x31u, 0x91u, 0x30002u, 0x11122u, 0x2003u, 0x1003u, 0x1001u, 0x2001u, 0x2023u, 0x1022u})
    out += plan_line(flags);
  expect_golden(out, "toolkit/message_box_plans.txt");
}

TEST(message_box_plan, bad_flags_end_the_process) {
  for (uint32_t flags : {0x40u, 0x45u, 0x0Fu, 0x1004u, 0x3002u})
    EXPECT_DEATH(plan_message_box(flags), "xfc_message_box") << flags;
  // The public call stops before any window is made.
  for (uint32_t flags : {0x10u, 0x25u})
    EXPECT_DEATH(
        {
          message_box_request r;
          r.flags = flags;
          run_message_box(r);
        },
        "xfc_message_box");
}

// Every rectangle of the layout for 1 to 3 buttons, with and without the check box and the icon,
// for a short, a long and a many-line text.
TEST(message_box_layout, rectangles_by_button_count_check_box_icon_and_text_size) {
  message_box_metrics m;
  m.check_width = 120;
  m.check_height = 17;
  m.min_client_width = 225;
  std::string out;
  for (int icon : {32, 0})
    for (int count = 1; count <= 3; ++count)
      for (bool check : {false, true})
        for (SIZE text : {SIZE{40, 14}, SIZE{300, 13}, SIZE{520, 91}}) {
          m.icon_size = icon;
          const message_box_layout l = layout_message_box(m, text, count, check);
          out += "icon " + std::to_string(icon) + " buttons " + std::to_string(count) + " check " +
                 std::to_string(check) + " text " + std::to_string(text.cx) + "x" + std::to_string(text.cy) +
                 ": client " + std::to_string(l.client.cx) + "x" + std::to_string(l.client.cy) + " icon " +
                 rect(l.icon) + " text " + rect(l.text) + " band " + rect(l.band) + " buttons " + rect(l.buttons[0]) +
                 " " + rect(l.buttons[1]) + " " + rect(l.buttons[2]) + " check " + rect(l.check) + "\n";
        }
  expect_golden(out, "toolkit/message_box_layouts.txt");
}
