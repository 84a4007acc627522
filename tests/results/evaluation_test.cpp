#include "results/evaluation.h"

#include <gtest/gtest.h>

namespace {
test_run read_at(double rate, bool ok = true) {
  test_run r;
  r.buffer_count = 1;
  r.buffer_size = 65536;
  r.ok = ok;
  r.rate = rate;
  return r;
}

std::string marks_text(const std::vector<row_marks>& marks) {
  std::string s;
  for (const row_marks& m : marks) {
    s += m.rising ? '+' : '.';
    s += m.near_95 ? '*' : '.';
    s += m.near_99 ? '*' : '.';
    s += ' ';
  }
  return s;
}
}  // namespace

TEST(evaluation, equal_best_rates_name_the_earliest) {
  std::vector<test_run> runs = {read_at(10), read_at(30), read_at(20), read_at(30)};
  direction_summary s = summarize_direction(runs);
  EXPECT_EQ(s.best, 1);
  EXPECT_EQ(s.best_rate, 30);
  EXPECT_EQ(highest_rate_index(runs), 1);
}

TEST(evaluation, failed_records_are_skipped_for_the_best_but_counted_near_it) {
  std::vector<test_run> runs = {read_at(100), read_at(500, false), read_at(99), read_at(95), read_at(94.9)};
  direction_summary s = summarize_direction(runs);
  EXPECT_EQ(s.recorded, 5u);
  EXPECT_EQ(s.failed, 1u);
  EXPECT_EQ(s.best, 0);
  EXPECT_EQ(s.best_rate, 100);
  EXPECT_EQ(s.near_99, 3u);  // 100, the failed 500, 99
  EXPECT_EQ(s.near_95, 4u);
  EXPECT_EQ(highest_rate_index(runs), 1);  // the list's best row may copy a failed one
}

TEST(evaluation, all_failed_direction) {
  std::vector<test_run> runs = {read_at(0, false), read_at(0, false), read_at(0, false)};
  direction_summary s = summarize_direction(runs);
  EXPECT_EQ(s.failed, 3u);
  EXPECT_EQ(s.best, -1);
  EXPECT_EQ(s.best_rate, 0);
  EXPECT_EQ(s.near_99, 3u);
  EXPECT_EQ(s.near_95, 3u);
  EXPECT_EQ(marks_text(mark_rows(runs)), "+** +** +** ");
}

TEST(evaluation, completed_at_zero_rate_is_no_best) {
  std::vector<test_run> runs = {read_at(0), read_at(0)};
  EXPECT_EQ(summarize_direction(runs).best, -1);
  EXPECT_EQ(highest_rate_index(runs), 0);
}

TEST(evaluation, empty_direction) {
  direction_summary s = summarize_direction({});
  EXPECT_EQ(s.recorded, 0u);
  EXPECT_EQ(s.best, -1);
  EXPECT_EQ(s.near_99, 0u);
  EXPECT_EQ(s.near_95, 0u);
  EXPECT_TRUE(mark_rows({}).empty());
  EXPECT_EQ(highest_rate_index({}), -1);
}

TEST(evaluation, marks_at_the_thresholds) {
  const double best = 1000;
  std::vector<test_run> runs = {read_at(best * 0.95), read_at(best), read_at(best * 0.99), read_at(best * 0.949)};
  EXPECT_EQ(marks_text(mark_rows(runs)), "+*. +** .** ... ");
}

TEST(evaluation, running_maximum_includes_failed_rows) {
  // The failed 300 raises the bar for the rows after it; the reference best ignores it.
  std::vector<test_run> runs = {read_at(100), read_at(300, false), read_at(200), read_at(300)};
  EXPECT_EQ(marks_text(mark_rows(runs)), "+.. +** ... +** ");
}
