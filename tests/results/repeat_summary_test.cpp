#include "results/repeat_summary.h"

#include <gtest/gtest.h>

#include "bench/test_def.h"
#include "golden.h"
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

namespace {
// One line a combination: its row's record (count x size, ok or the failure, rates, which pass's
// record by its open time), the spread over the passes that completed, and how many passes it had.
std::string dump(const std::vector<combo_result>& combos) {
  std::string out;
  for (const combo_result& c : combos) {
    char line[200];
    snprintf(line, sizeof line, "%u x %u %s%s rate %g total %g t_open %lld min %g max %g passes %u\n",
             c.run.buffer_count, c.run.buffer_size, c.run.ok ? "ok" : "failed ",
             c.run.ok ? "" : c.run.error.api.c_str(), c.run.rate, c.run.rate_total, (long long)c.run.t_open, c.rate_min,
             c.rate_max, unsigned(c.passes.size()));
    out += line;
    if (!c.run.error.detail.empty()) out += "  detail " + c.run.error.detail + "\n";
  }
  return out;
}
}  // namespace

// Three passes of two combinations, the second run backwards (medians in the first pass's order,
// the median pass's record); an even number of passes (the mean of the middle two, the lower one's
// record); a single pass unchanged, a size given twice staying two combinations; a failed pass
// failing its combination.
TEST(repeat_summary, medians_spread_passes_and_failures) {
  const std::vector<test_run> runs = {
      stamped(completed(true, 4, 65536, raw, 100), 1),   stamped(completed(true, 1, 8192, buf_seq, 50), 2),
      stamped(completed(true, 1, 8192, buf_seq, 70), 3), stamped(completed(true, 4, 65536, raw, 130), 4),
      stamped(completed(true, 4, 65536, raw, 90), 5),    stamped(completed(true, 1, 8192, buf_seq, 60), 6),
  };
  test_run odd = failed(false, 8, 131072, raw, "WriteFile", 87, 0);
  odd.error.detail = "0 131072";
  const std::vector<combo_result> three = summarize_repeats(runs, 2);
  EXPECT_EQ(report_rows(three).size(), 2u);
  const std::string out =
      "--- three passes\n" + dump(three) + "--- two passes\n" + dump(summarize_repeats({runs[0], runs[3]}, 1)) +
      "--- one pass\n" +
      dump(summarize_repeats({completed(false, 1, 8192, raw, 123.25), odd, completed(false, 1, 8192, raw, 7)}, 3)) +
      "--- a failed pass\n" +
      dump(summarize_repeats({completed(true, 1, 4096, raw, 80), failed(true, 1, 4096, raw, "ReadFile", 23),
                              completed(true, 1, 4096, raw, 90)},
                             1));
  expect_golden(out, "results/repeat_summaries.txt");
  EXPECT_EQ(median_of({}), 0);
  EXPECT_EQ(median_of({3, 1, 2, 10}), 2.5);
  EXPECT_EQ(find_best(summarize_repeats({failed(true, 1, 4096, raw, "ReadFile", 23)}, 1)).best, -1);
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
