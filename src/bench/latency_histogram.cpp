#include "bench/latency_histogram.h"

#include <cmath>

namespace {
using h = latency_histogram;

uint32_t highest_bit(uint64_t v) { return 63 - uint32_t(__builtin_clzll(v)); }  // v is not 0

uint32_t bucket_of(uint64_t ns) {
  if (ns < h::exact_below) return uint32_t(ns);
  const uint32_t bit = highest_bit(ns);
  if (bit >= h::top_bit) return h::bucket_count - 1;
  const uint32_t shift = bit - 6;  // 64 steps between 2^bit and 2^(bit+1)
  return h::exact_below + (bit - 7) * h::steps_per_doubling + uint32_t(ns >> shift) - h::steps_per_doubling;
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

void latency_histogram::record(uint64_t ns) {
  ++counts_[bucket_of(ns)];
  ++count_;
  sum_ += ns;
  if (ns > max_) max_ = ns;
}

uint64_t latency_histogram::percentile_ns(double q) const {
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

latency_summary latency_histogram::summary() const {
  latency_summary s;
  s.count = count_;
  if (count_ == 0) return s;
  s.mean_us = double(sum_) / double(count_) / 1000.0;
  s.p50_us = double(percentile_ns(0.50)) / 1000.0;
  s.p90_us = double(percentile_ns(0.90)) / 1000.0;
  s.p99_us = double(percentile_ns(0.99)) / 1000.0;
  s.p999_us = double(percentile_ns(0.999)) / 1000.0;
  s.max_us = double(max_) / 1000.0;
  return s;
}
