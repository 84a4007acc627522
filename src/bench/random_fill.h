#pragma once

#include <cstddef>
#include <cstdint>

// Random data for write buffers, fast enough that filling 64 MiB takes a few milliseconds of a
// test's time instead of most of it. Word i of a stream (8 bytes, little-endian) is a bijective
// mix of start + i x an odd constant (the splitmix64 construction), so no word of a stream repeats
// within 2^64 words: the data never repeats within a buffer nor across the buffers filled from one
// stream, and it passes as random to statistical tests and to compressors. Each stream starts at
// a point drawn from random_bytes, so separate tests and runs write unrelated data.
class random_fill {
 public:
  random_fill();
  explicit random_fill(uint64_t start) : state_(start) {}

  // Continues the stream over the buffer; a tail shorter than a word takes the low bytes of one.
  void fill(uint8_t* buffer, size_t size);

 private:
  uint64_t state_;
};
