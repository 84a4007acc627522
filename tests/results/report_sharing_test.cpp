#include "results/report_sharing.h"

#include <gtest/gtest.h>

// A direction with nothing planned counts as complete: a write-only profile cut short in its
// writes still has a shareable report.
TEST(report_sharing, a_direction_with_nothing_planned_is_complete) {
  EXPECT_TRUE(report_shareable(0, 0, 5, 68));
  EXPECT_FALSE(report_shareable(0, 1, 5, 68));
}

TEST(report_sharing, joining) {
  EXPECT_EQ(join_reports({}), "");
  EXPECT_EQ(join_reports({"A\r\n"}), "A\r\n");
  EXPECT_EQ(join_reports({"A\r\n", "B\r\n", "C\r\n"}), "A\r\n\r\n-------\r\n\r\nB\r\n\r\n-------\r\n\r\nC\r\n");
}

TEST(report_sharing, history_keeps_the_last_and_the_shareable) {
  report_history h;
  h.keep("one", true);
  h.keep("two", false);
  EXPECT_EQ(h.last_report, "two");
  h.keep("three", true);
  EXPECT_EQ(h.shareable_reports, (std::vector<std::string>{"one", "three"}));
}
