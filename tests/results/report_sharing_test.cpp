#include "results/report_sharing.h"

#include <gtest/gtest.h>

TEST(report_sharing, when_a_report_is_built) {
  EXPECT_TRUE(report_due(true, false));
  EXPECT_TRUE(report_due(false, true));
  EXPECT_TRUE(report_due(true, true));
  EXPECT_FALSE(report_due(false, false));
}

TEST(report_sharing, a_complete_direction_makes_it_shareable) {
  EXPECT_TRUE(report_shareable(68, 68, 3, 68));
  EXPECT_TRUE(report_shareable(10, 68, 68, 68));
  EXPECT_FALSE(report_shareable(67, 68, 67, 68));
  // A direction with nothing planned is complete as it stands.
  EXPECT_TRUE(report_shareable(0, 0, 5, 68));
  EXPECT_TRUE(report_shareable(0, 0, 68, 68));
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
  EXPECT_EQ(h.joined(), "one\r\n-------\r\n\r\nthree");
}
