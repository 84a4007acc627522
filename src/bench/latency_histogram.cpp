#include "bench/latency_histogram.h"

#include <cmath>

namespace {
using h = latency_histogram;

uint32_t highest_bit(uint64_t v) { return 63 - uint32_t(__builtin_clzll(v)); }  // v is not 0

uint32_t bucket_of(uint64_t t) {
  if (t < h::exact_below) return uint32_t(t);
  const uint32_t bit = highest_bit(t);
  if (bit >= h::top_bit) return h::bucket_count - 1;
  const uint32_t shift = bit - 6;  // 64 steps between 2^bit and 2^(bit+1)
  return h::exact_below + (bit - 7) * h::steps_per_doubling + uint32_t(t >> shift) - h::steps_per_doubling;
}

// The middle of a bucket's range of times.
uint64_t middle_of(uint32_t bucket) {
  if (bucket < h::exact_below) return bucket;
  const uint32_t above = bucket - h::exact_below;
  const uint32_t shift = above / h::steps_per_doubling + 1;
  const uint64_t low = uint64_t(h::steps_per_doubling + above % h::steps_per_doubling) << shift;
  return low + (uint64_t(1) << shift) / 2;
}
}  // namespace

void latency_histogram::record(uint64_t ticks) {
  ++counts_[bucket_of(ticks)];
  ++count_;
  sum_ += ticks;
  if (ticks > max_) max_ = ticks;
}

uint64_t latency_histogram::percentile_ticks(double q) const {
  if (count_ == 0) return 0;
  // The rank of the request that reaches the fraction, counting from 1.
  uint64_t rank = uint64_t(std::ceil(q * double(count_)));
  if (rank < 1) rank = 1;
  if (rank > count_) rank = count_;
  uint64_t seen = 0;
  for (uint32_t b = 0; b < bucket_count; ++b) {
    seen += counts_[b];
    if (seen < rank) continue;
    // The last step has no upper end: the longest time speaks for it.
    const uint64_t v = b == bucket_count - 1 ? max_ : middle_of(b);
    return v < max_ ? v : max_;
  }
  return max_;
}

latency_summary latency_histogram::summary(uint64_t ticks_per_second) const {
  latency_summary s;
  s.count = count_;
  if (count_ == 0 || ticks_per_second == 0) return s;
  const double us_per_tick = 1e6 / double(ticks_per_second);
  s.mean_us = double(sum_) / double(count_) * us_per_tick;
  s.p50_us = double(percentile_ticks(0.50)) * us_per_tick;
  s.p90_us = double(percentile_ticks(0.90)) * us_per_tick;
  s.p99_us = double(percentile_ticks(0.99)) * us_per_tick;
  s.p999_us = double(percentile_ticks(0.999)) * us_per_tick;
  s.max_us = double(max_) * us_per_tick;
  return s;
}
