#include <gtest/gtest.h>

#include <string>

#include "toolkit/message_box_plan.h"
#include "toolkit/xfc_message_box.h"

namespace {
std::wstring labels(const message_box_plan& p) {
  std::wstring out;
  for (int i = 0; i < p.button_count; ++i)
    out += std::wstring(p.labels[i]) + L"=" + std::to_wstring(p.answers[i]) + L";";
  return out;
}

bool overlaps(const RECT& a, const RECT& b) {
  RECT both;
  return IntersectRect(&both, &a, &b) != 0;
}

bool inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}
}  // namespace

TEST(message_box_plan, button_sets_give_their_labels_answers_and_escape) {
  const message_box_plan ok = plan_message_box(0x41);
  EXPECT_EQ(labels(ok), L"OK=1;");
  EXPECT_EQ(ok.escape_answer, 1);
  EXPECT_EQ(ok.icon, mb_icon::error);
  EXPECT_EQ(labels(plan_message_box(2)), L"OK=1;Cancel=2;");
  EXPECT_EQ(plan_message_box(2).escape_answer, 2);
  EXPECT_EQ(labels(plan_message_box(3)), L"&Yes=6;&No=7;");
  EXPECT_EQ(plan_message_box(3).escape_answer, 0);  // only an answer ends it
  EXPECT_EQ(labels(plan_message_box(4)), L"&Yes=6;&No=7;Cancel=2;");
  EXPECT_EQ(plan_message_box(4).escape_answer, 2);
  // The buttons stand in the rightmost positions.
  EXPECT_EQ(mb_button_position(0, 1), 2);
  EXPECT_EQ(mb_button_position(0, 2), 1);
  EXPECT_EQ(mb_button_position(1, 2), 2);
  EXPECT_EQ(mb_button_position(0, 3), 0);
}

TEST(message_box_plan, default_button_icon_and_window_flags) {
  EXPECT_EQ(plan_message_box(0x004).default_button, 0);
  EXPECT_EQ(plan_message_box(0x104).default_button, 0);
  EXPECT_EQ(plan_message_box(0x204).default_button, 1);
  EXPECT_EQ(plan_message_box(0x304).default_button, 2);
  EXPECT_EQ(plan_message_box(0x301).default_button, 0);  // set 1 always uses its one button
  EXPECT_EQ(plan_message_box(0x302).default_button, 0);  // no third button: the first
  EXPECT_EQ(plan_message_box(0x11).icon, mb_icon::information);
  EXPECT_EQ(plan_message_box(0x21).icon, mb_icon::question);
  EXPECT_EQ(plan_message_box(0x31).icon, mb_icon::warning);
  EXPECT_EQ(plan_message_box(0x41).icon, mb_icon::error);
  EXPECT_EQ(plan_message_box(0x01).icon, mb_icon::none);
  EXPECT_EQ(plan_message_box(0x91).icon, mb_icon::none);
  const message_box_plan p = plan_message_box(0x30002);
  EXPECT_TRUE(p.bring_to_front);
  EXPECT_TRUE(p.app_window);
  EXPECT_FALSE(plan_message_box(2).bring_to_front || plan_message_box(2).app_window);
}

TEST(message_box_plan, check_box_label_disabled_button_and_returned_flags) {
  const message_box_plan share = plan_message_box(0x11122);
  EXPECT_TRUE(share.check_box);
  EXPECT_EQ(share.check_label, L"  &Don't ask again");
  EXPECT_EQ(share.check_disables, 1);                     // "Cancel"
  EXPECT_EQ(plan_message_box(0x2003).check_disables, 0);  // "&Yes"
  EXPECT_EQ(plan_message_box(0x1003).check_disables, 1);  // "&No"
  EXPECT_EQ(plan_message_box(0x1001).check_label, L"  &Don't prompt again");
  EXPECT_EQ(plan_message_box(0x2001).check_disables, -1);  // a lone OK stays usable
  EXPECT_FALSE(plan_message_box(0x0002).check_box);

  EXPECT_EQ(message_box_result_flags(0x11122, true), 0x11122u);
  EXPECT_EQ(message_box_result_flags(0x11122, false), 0x10122u);
  EXPECT_EQ(message_box_result_flags(0x2003, true), 0x2003u);
  EXPECT_EQ(message_box_result_flags(0x2003, false), 0x0003u);
  EXPECT_EQ(message_box_result_flags(0x0002, true), 0x0002u);
}

TEST(message_box_plan, bad_flags_end_the_process) {
  EXPECT_DEATH(plan_message_box(0x40), "xfc_message_box");
  EXPECT_DEATH(plan_message_box(0x45), "xfc_message_box");
  EXPECT_DEATH(plan_message_box(0x0F), "xfc_message_box");
  EXPECT_DEATH(plan_message_box(0x1004), "xfc_message_box");
  EXPECT_DEATH(plan_message_box(0x3002), "xfc_message_box");
  // The public call stops before any window is made.
  EXPECT_DEATH(
      {
        message_box_request r;
        r.flags = 0x10;
        run_message_box(r);
      },
      "xfc_message_box");
  EXPECT_DEATH(
      {
        message_box_request r;
        r.flags = 0x25;
        run_message_box(r);
      },
      "xfc_message_box");
}

TEST(message_box_layout, buttons_right_aligned_check_box_left_nothing_overlaps) {
  message_box_metrics m;
  m.icon_size = 32;
  m.check_width = 120;
  m.check_height = 17;
  m.min_client_width = 225;
  for (int count = 1; count <= 3; ++count) {
    for (bool check : {false, true}) {
      for (SIZE text : {SIZE{40, 13}, SIZE{300, 13}, SIZE{520, 91}}) {
        const message_box_layout l = layout_message_box(m, text, count, check);
        const RECT client = {0, 0, l.client.cx, l.client.cy};
        SCOPED_TRACE(testing::Message() << count << " buttons, check " << check << ", text " << text.cx << "x"
                                        << text.cy);
        EXPECT_EQ(l.buttons[2].right, client.right - m.margin);
        for (int p = 0; p < 3; ++p) {
          EXPECT_EQ(l.buttons[p].right - l.buttons[p].left, m.button_width);
          EXPECT_EQ(l.buttons[p].bottom - l.buttons[p].top, m.button_height);
          if (p > 0) {
            EXPECT_EQ(l.buttons[p].left - l.buttons[p - 1].right, m.button_gap);
          }
        }
        for (int p = 3 - count; p < 3; ++p) {
          EXPECT_TRUE(inside(l.buttons[p], l.band));
          EXPECT_GE(l.buttons[p].left, m.margin);
          if (check) {
            EXPECT_FALSE(overlaps(l.check, l.buttons[p]));
          }
        }
        if (check) {
          EXPECT_EQ(l.check.left, m.margin);
          EXPECT_TRUE(inside(l.check, l.band));
        }
        EXPECT_EQ(l.text.right - l.text.left, text.cx);
        EXPECT_EQ(l.text.bottom - l.text.top, text.cy);
        EXPECT_GE(l.text.left, l.icon.right + m.icon_gap);
        EXPECT_LE(l.text.right, client.right - m.margin);
        EXPECT_LE(l.text.bottom + m.margin, l.band.top);
        EXPECT_LE(l.icon.bottom + m.margin, l.band.top);
        EXPECT_EQ(l.band.bottom, client.bottom);
        EXPECT_GE(l.client.cx, m.min_client_width);
      }
    }
  }
  // A one-line text stands centred beside the taller icon.
  const message_box_layout short_text = layout_message_box(m, {40, 14}, 1, false);
  EXPECT_EQ(short_text.text.top - short_text.icon.top, (32 - 14) / 2);
  // Without an icon the text starts at the margin.
  m.icon_size = 0;
  EXPECT_EQ(layout_message_box(m, {40, 14}, 1, false).text.left, m.margin);
}
