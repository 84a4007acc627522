#include "bench/random_fill.h"

#include <cstring>

#include "support/digest.h"

namespace {
constexpr uint64_t gamma = 0x9E3779B97F4A7C15ull;  // odd: the counter visits every value once

inline uint64_t mix(uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}
}  // namespace

random_fill::random_fill() { random_bytes(&state_, sizeof state_); }

void random_fill::fill(uint8_t* buffer, size_t size) {
  uint64_t s = state_;
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    const uint64_t word = mix(s += gamma);
    std::memcpy(buffer + i, &word, 8);
  }
  if (i < size) {
    const uint64_t word = mix(s += gamma);
    std::memcpy(buffer + i, &word, size - i);
  }
  state_ = s;
}
