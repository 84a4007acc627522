#include "bench/latency_histogram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// The time at the fraction q of the sorted times, by the same rank rule: the ceil(q x n)-th.
uint64_t true_percentile(const std::vector<uint64_t>& sorted, double q) {
  size_t rank = size_t(std::ceil(q * double(sorted.size())));
  rank = std::max<size_t>(1, std::min(rank, sorted.size()));
  return sorted[rank - 1];
}

// Times in nanoseconds: a counter of 1 GHz.
constexpr uint64_t ghz = 1000000000;

void expect_within_precision(const std::vector<uint64_t>& times, const char* what) {
  latency_histogram h;
  for (uint64_t t : times) h.record(t);
  std::vector<uint64_t> sorted = times;
  std::sort(sorted.begin(), sorted.end());
  const latency_summary s = h.summary(ghz);
  ASSERT_EQ(s.count, times.size()) << what;
  EXPECT_DOUBLE_EQ(s.max_us, double(sorted.back()) / 1000) << what;
  double sum = 0;
  for (uint64_t t : times) sum += double(t);
  EXPECT_NEAR(s.mean_us, sum / double(times.size()) / 1000, 1e-9 * s.max_us) << what;
  const double reported[] = {s.p50_us, s.p90_us, s.p99_us, s.p999_us};
  const double fractions[] = {0.5, 0.9, 0.99, 0.999};
  double previous = 0;
  for (int i = 0; i < 4; ++i) {
    const double expected = double(true_percentile(sorted, fractions[i])) / 1000;
    EXPECT_NEAR(reported[i], expected, expected / 128 + 1e-9) << what << " at " << fractions[i];
    EXPECT_LE(previous, reported[i]) << what << " at " << fractions[i];
    previous = reported[i];
  }
  EXPECT_LE(previous, s.max_us) << what;
}
}  // namespace

TEST(latency_histogram, every_percentile_within_its_stated_precision) {
  std::vector<uint64_t> even;  // 1 ns to 100 us, each once
  for (uint64_t t = 1; t <= 100000; ++t) even.push_back(t);
  expect_within_precision(even, "evenly spread");

  std::vector<uint64_t> spread;  // 100 ns to 100 s, 200 times per decade
  for (int i = 0; i <= 1800; ++i) spread.push_back(uint64_t(100 * std::pow(10.0, i / 200.0)));
  expect_within_precision(spread, "100 ns to 100 s");

  // A deep queue's picture: most requests quick, a few stuck behind a slow one.
  std::vector<uint64_t> tail(9950, 5300);
  tail.insert(tail.end(), 45, 870000);
  tail.insert(tail.end(), 5, 52000000);
  expect_within_precision(tail, "long tail");

  // The edges of the exact range and of the first doublings.
  expect_within_precision({127, 128, 129, 255, 256, 257, 511, 512}, "step edges");
  expect_within_precision({7}, "one request");
}

TEST(latency_histogram, exact_values_and_what_lies_outside_the_range) {
  latency_histogram fast;
  for (int i = 0; i < 10; ++i) fast.record(100);  // exact below 128 ns
  EXPECT_EQ(fast.percentile_ticks(0.5), 100u);
  EXPECT_EQ(fast.percentile_ticks(1.0), 100u);
  EXPECT_DOUBLE_EQ(fast.summary(10000000).p50_us, 10);  // 100 ticks of 100 ns

  // Beyond the last step the longest time stands for it; the mean stays exact.
  latency_histogram slow;
  slow.record(600000000000ull);  // 600 s
  slow.record(800000000000ull);
  const latency_summary s = slow.summary(ghz);
  EXPECT_DOUBLE_EQ(s.p50_us, 800e6);
  EXPECT_DOUBLE_EQ(s.max_us, 800e6);
  EXPECT_DOUBLE_EQ(s.mean_us, 700e6);

  const latency_summary none = latency_histogram().summary(ghz);
  EXPECT_EQ(none.count, 0u);
  EXPECT_EQ(none.p50_us, 0);
  EXPECT_EQ(none.max_us, 0);
}
