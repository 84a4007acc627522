#include "bench/data_buf.h"

#include <gtest/gtest.h>

TEST(data_buf, patterns_and_offsets) {
  uint8_t b[300] = {};
  random_fill random(1);
  init_data_buf(b, sizeof b, 2, random);
  EXPECT_EQ(b[255], 255);
  EXPECT_EQ(b[256], 0);
  uint8_t c[8] = {0xff, 0xff, 0xff, 0xff, 0, 0, 0, 0};
  bump_buffer(c, 8);
  EXPECT_EQ(c[0], 0);
  EXPECT_EQ(c[4], 1);
  EXPECT_DEATH(init_data_buf(b, sizeof b, 4, random), "init_data_buf");
  rand15 draws(1);
  EXPECT_EQ(choose_offset(4096, true, 12345, 1 << 20, draws), 12345u);
  for (int i = 0; i < 200; ++i) {
    uint64_t big = choose_offset(1 << 20, false, 0, 64ull << 20, draws);
    EXPECT_EQ(big % 65536, 0u);
    EXPECT_LE(big + (1 << 20), 64ull << 20);
    EXPECT_EQ(choose_offset(4096, false, 0, 1 << 20, draws) % 4096, 0u);
  }
  EXPECT_EQ(choose_offset(4096, false, 0, 1000, draws), 0u);
}

// Every request is timed, and the times agree with the rate: with every buffer always in flight,
// the mean time of a request is buffers x size / rate (Little's law).
