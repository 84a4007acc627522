#include "bench/test_def.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(test_def, reset_keeps_path_clears_remote) {
  test_def d;
  d.path = L"\\\\server\\share\\";
  d.remote = true;
  d.flush = true;
  d.reset(1);
  EXPECT_EQ(d.path, L"\\\\server\\share\\");
  EXPECT_FALSE(d.remote);
  EXPECT_FALSE(d.flush);
}

TEST(test_def, cap_rules) {
  test_def d;
  d.reset(2);
  d.memory_cap = 0;
  d.update_counts();
  EXPECT_EQ(d.combo_count, 136u);

  d.buffer_sizes = {4194304};
  d.buffer_counts = {16, 32};
  d.memory_cap = 67108864;
  d.update_counts();
  EXPECT_EQ(d.combo_count, 1u);  // exactly at the cap is in

  d.read_modes = 0;
  d.update_counts();
  EXPECT_EQ(d.read_tests, 0u);
}

TEST(test_def, mode_index_and_names) {
  const char* const by_bit[] = {"raw", "raw seq", "raw rnd", "buf", "buf seq", "buf rnd"};
  for (int bit = 0; bit < mode_count; ++bit) {
    const int i = mode_index(mode_flags[bit]);
    EXPECT_STREQ(mode_names[i], by_bit[bit]);
    EXPECT_EQ(std::wstring(mode_names_w[i]), std::wstring(by_bit[bit], by_bit[bit] + strlen(by_bit[bit])));
  }
}

// The other fills' names are in the run logs and reports.
TEST(test_def, fill_names) { EXPECT_STREQ(fill_name(1), "zeroes"); }

TEST(test_def, bad_preset_stops_process) {
  EXPECT_DEATH(
      {
        test_def d;
        d.reset(3);
      },
      "test_def::reset");
}
