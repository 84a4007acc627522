#include "results/repeat_summary.h"

#include <gtest/gtest.h>

#include "bench/test_def.h"
#include "run_records.h"

namespace {
constexpr uint32_t raw = flag_no_buffering;
constexpr uint32_t buf_seq = flag_sequential_scan;

test_run stamped(test_run r, int64_t t_open) {
  r.t_open = t_open;
  r.rate_total = r.rate / 2;
  return r;
}
}  // namespace

TEST(repeat_summary, medians_spread_and_the_median_pass) {
  // Three passes of two combinations; the second pass ran backwards.
  const std::vector<test_run> runs = {
      stamped(completed(true, 4, 65536, raw, 100), 1),   stamped(completed(true, 1, 8192, buf_seq, 50), 2),
      stamped(completed(true, 1, 8192, buf_seq, 70), 3), stamped(completed(true, 4, 65536, raw, 130), 4),
      stamped(completed(true, 4, 65536, raw, 90), 5),    stamped(completed(true, 1, 8192, buf_seq, 60), 6),
  };
  const std::vector<combo_result> c = summarize_repeats(runs, 2);
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[0].run.buffer_count, 4u);  // in the first pass's order
  EXPECT_EQ(c[0].passes.size(), 3u);
  EXPECT_EQ(c[0].run.rate, 100);
  EXPECT_EQ(c[0].run.rate_total, 50);
  EXPECT_EQ(c[0].run.t_open, 1);  // the record of the median pass
  EXPECT_EQ(c[0].rate_min, 90);
  EXPECT_EQ(c[0].rate_max, 130);
  EXPECT_EQ(c[1].run.rate, 60);
  EXPECT_EQ(c[1].run.t_open, 6);
  EXPECT_EQ(report_rows(c).size(), 2u);

  // An even number of passes: the mean of the middle two; the lower one's record.
  const std::vector<combo_result> even = summarize_repeats({runs[0], runs[3]}, 1);
  ASSERT_EQ(even.size(), 1u);
  EXPECT_EQ(even[0].run.rate, 115);
  EXPECT_EQ(even[0].run.t_open, 1);
  EXPECT_EQ(median_of({}), 0);
  EXPECT_EQ(median_of({3, 1, 2, 10}), 2.5);
}

TEST(repeat_summary, a_single_pass_is_unchanged) {
  test_run odd = failed(false, 8, 131072, raw, "WriteFile", 87, 0);
  odd.error.detail = "0 131072";
  const std::vector<test_run> runs = {completed(false, 1, 8192, raw, 123.25), odd, completed(false, 1, 8192, raw, 7)};
  const std::vector<combo_result> c = summarize_repeats(runs, 3);
  ASSERT_EQ(c.size(), 3u);  // a size given twice stays two combinations
  EXPECT_EQ(c[0].run.rate, 123.25);
  EXPECT_EQ(c[0].rate_min, 123.25);
  EXPECT_EQ(c[0].rate_max, 123.25);
  EXPECT_FALSE(c[1].run.ok);
  EXPECT_EQ(c[1].run.error.detail, "0 131072");
  EXPECT_EQ(c[1].rate_max, 0);
  EXPECT_EQ(c[2].run.rate, 7);
}

TEST(repeat_summary, a_failed_pass_fails_the_combination) {
  const std::vector<test_run> runs = {completed(true, 1, 4096, raw, 80), failed(true, 1, 4096, raw, "ReadFile", 23),
                                      completed(true, 1, 4096, raw, 90)};
  const std::vector<combo_result> c = summarize_repeats(runs, 1);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_FALSE(c[0].run.ok);
  EXPECT_EQ(c[0].run.error.api, "ReadFile");
  EXPECT_EQ(c[0].run.rate, 0);
  EXPECT_EQ(c[0].rate_min, 80);
  EXPECT_EQ(c[0].rate_max, 90);
  EXPECT_EQ(find_best(c).best, -1);
}

TEST(repeat_summary, best_and_the_combinations_tied_with_it) {
  std::vector<combo_result> c(5);
  const double spreads[5][3] = {{100, 90, 110}, {105, 95, 120}, {104, 96, 119}, {80, 70, 94}, {200, 200, 200}};
  for (size_t i = 0; i < 5; ++i) {
    c[i].run = completed(true, uint32_t(i + 1), 4096, raw, spreads[i][0]);
    c[i].rate_min = spreads[i][1];
    c[i].rate_max = spreads[i][2];
  }
  c[4].run.ok = false;  // failed combinations neither win nor tie
  best_and_ties b = find_best(c);
  EXPECT_EQ(b.best, 1);
  EXPECT_EQ(b.ties, (std::vector<int>{0, 2}));  // 94 < 95: the fourth is out
  c[3].rate_max = 95;                           // touching counts as overlapping
  EXPECT_EQ(find_best(c).ties, (std::vector<int>{0, 2, 3}));
  // Equal medians: the first is the best, as the report names it.
  c[2].run.rate = 105;
  EXPECT_EQ(find_best(c).best, 1);
  EXPECT_EQ(find_best({}).best, -1);
}
