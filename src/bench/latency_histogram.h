#pragma once

#include <cstdint>

// What the requests of one test waited, in microseconds: from issue to collection.
struct latency_summary {
  uint64_t count = 0;  // requests timed; 0 when the test was not timed or failed
  double mean_us = 0, p50_us = 0, p90_us = 0, p99_us = 0, p999_us = 0, max_us = 0;
};

// Request times in performance-counter ticks, log-linear in fixed memory: exact below 128 ticks,
// then 64 equal steps per doubling up to 2^39 ticks (15 hours at 10 MHz, 157 s at 3.5 GHz), so
// every time is known to within 1/128 of itself (about two significant digits). Longer times count
// in the last step; the maximum and the mean stay exact. Recording allocates and converts nothing.
class latency_histogram {
 public:
  static constexpr uint32_t steps_per_doubling = 64;
  static constexpr uint32_t exact_below = 2 * steps_per_doubling;
  static constexpr uint32_t top_bit = 39;
  static constexpr uint32_t bucket_count = exact_below + (top_bit - 7) * steps_per_doubling;

  void record(uint64_t ticks);
  uint64_t count() const { return count_; }
  // The time below or at which the fraction `q` (0 to 1) of the requests finished: the middle of
  // its step, never above the longest. 0 when nothing was recorded.
  uint64_t percentile_ticks(double q) const;
  latency_summary summary(uint64_t ticks_per_second) const;

 private:
  uint32_t counts_[bucket_count] = {};
  uint64_t count_ = 0, sum_ = 0, max_ = 0;
};
static_assert(sizeof(latency_histogram) <= 9 * 1024, "a few KB per test");
