#include "bench/data_buf.h"

#include <cstring>

#include "support/fatal.h"

void init_data_buf(uint8_t* buffer, size_t size, uint32_t fill, random_fill& random) {
  switch (fill) {
    case 1: return;
    case 2:
      for (size_t i = 0; i < size; ++i) buffer[i] = uint8_t(i);
      return;
    case 3: random.fill(buffer, size); return;
    default: fatal("init_data_buf");
  }
}

void bump_buffer(uint8_t* buffer, size_t size) {
  uint8_t bytes[8] = {};
  const size_t n = size < 8 ? size : 8;
  std::memcpy(bytes, buffer, n);
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | bytes[i];
  ++v;
  for (int i = 0; i < 8; ++i) bytes[i] = uint8_t(v >> (8 * i));
  std::memcpy(buffer, bytes, n);
}

uint64_t choose_offset(uint64_t buffer_size, bool sequential, uint64_t cursor, uint64_t limit, rand15& draws) {
  if (sequential) return cursor;
  const uint64_t granule = buffer_size < 65536 ? buffer_size : 65536;
  // A file smaller than one buffer has one place only: its start.
  if (granule == 0 || limit < buffer_size) return 0;
  const uint64_t q = (limit - buffer_size + 1) / granule;
  const uint64_t r = draws.next();
  return (q * r / 32767) * granule;
}
