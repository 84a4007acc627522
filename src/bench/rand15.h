#pragma once

#include <cstdint>

// The C runtime's rand() as an object of its own: 15-bit draws (0 to 32767) from its own seed.
// rand() keeps one hidden state per thread, so whoever seeds or draws from it moves everyone
// else's sequence; each purpose gets a generator of its own instead.
class rand15 {
 public:
  explicit rand15(uint32_t seed) : state_(seed) {}
  uint32_t next() {
    state_ = state_ * 214013u + 2531011u;
    return (state_ >> 16) & 0x7FFF;
  }

 private:
  uint32_t state_;
};
