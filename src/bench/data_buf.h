#pragma once

#include <cstddef>
#include <cstdint>

#include "bench/rand15.h"
#include "bench/random_fill.h"

// 1 zeroes (left as they are), 2 plus_1, 3 random (continuing `random`, one stream per test so its
// buffers differ); anything else stops the program.
void init_data_buf(uint8_t* buffer, size_t size, uint32_t fill, random_fill& random);
// Adds 1 to the first eight bytes as a little-endian u64, so no two buffers are alike.
void bump_buffer(uint8_t* buffer, size_t size);
// The next request's offset: the cursor, or a random multiple of the granule drawn from `draws`.
uint64_t choose_offset(uint64_t buffer_size, bool sequential, uint64_t cursor, uint64_t limit, rand15& draws);
