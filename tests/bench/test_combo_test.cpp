#include "bench/test_combo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {
bool less(const test_combo& a, const test_combo& b) {
  return std::tie(a.buffer_size, a.buffer_count, a.open_flags) < std::tie(b.buffer_size, b.buffer_count, b.open_flags);
}
bool same(const test_combo& a, const test_combo& b) { return !less(a, b) && !less(b, a); }
std::vector<test_combo> sorted(std::vector<test_combo> v) {
  std::sort(v.begin(), v.end(), less);
  return v;
}
constexpr uint64_t K = 1024, M = 1024 * 1024;
}  // namespace

TEST(generate_combo_vec, quick_read_order_sizes_counts_modes) {
  test_def d;
  std::vector<test_combo> v;
  generate_combo_vec(d, true, v);
  ASSERT_EQ(v.size(), 68u);
  const test_combo head[] = {{8 * K, 1, 0x20000000},
                             {8 * K, 1, 0x08000000},
                             {8 * K, 4, 0x20000000},
                             {8 * K, 4, 0x08000000},
                             {8 * K, 8, 0x20000000}};
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(same(v[i], head[i])) << i;
  EXPECT_TRUE(same(v[66], {4 * M, 16, 0x20000000}));
  EXPECT_TRUE(same(v[67], {4 * M, 16, 0x08000000}));
}

TEST(generate_combo_vec, order_modes_first_then_random) {
  test_def d;
  std::vector<test_combo> by_sizes, by_modes, shuffled;
  generate_combo_vec(d, true, by_sizes);
  d.order = 2;
  generate_combo_vec(d, true, by_modes);
  ASSERT_EQ(by_modes.size(), 68u);
  for (int i = 0; i < 34; ++i) EXPECT_EQ(by_modes[i].open_flags, 0x20000000u);
  for (int i = 34; i < 68; ++i) EXPECT_EQ(by_modes[i].open_flags, 0x08000000u);
  EXPECT_TRUE(same(by_modes[0], {8 * K, 1, 0x20000000}));
  EXPECT_TRUE(same(by_modes[1], {8 * K, 4, 0x20000000}));
  EXPECT_TRUE(same(by_modes[33], {4 * M, 16, 0x20000000}));
  d.order = 1;
  generate_combo_vec(d, true, shuffled);
  auto a = sorted(by_sizes), b = sorted(by_modes), c = sorted(shuffled);
  ASSERT_EQ(c.size(), a.size());
  for (size_t i = 0; i < a.size(); ++i) EXPECT_TRUE(same(a[i], b[i]) && same(a[i], c[i])) << i;
}

TEST(generate_combo_vec, length_matches_counts_for_all_presets_and_orders) {
  for (int preset = 0; preset < 3; ++preset)
    for (uint32_t order = 1; order <= 3; ++order)
      for (uint64_t cap : {uint64_t(0), uint64_t(64 * M)}) {
        test_def d;
        d.reset(preset);
        d.order = order;
        d.memory_cap = cap;
        d.write_modes = 0x3f;
        d.update_counts();
        std::vector<test_combo> r, w;
        generate_combo_vec(d, true, r);
        generate_combo_vec(d, false, w);
        EXPECT_EQ(r.size(), d.read_tests);
        EXPECT_EQ(w.size(), d.write_tests);
      }
}

TEST(generate_combo_vec, empty_mask_and_empty_lists) {
  test_def d;
  std::vector<test_combo> v = {{1, 1, 0}};
  d.read_modes = 0;
  generate_combo_vec(d, true, v);
  EXPECT_TRUE(v.empty());
  d.reset(0);
  d.buffer_counts.clear();
  generate_combo_vec(d, false, v);
  EXPECT_TRUE(v.empty());
}

TEST(generate_combo_vec, bad_order_stops_process) {
  test_def d;
  d.order = 4;
  std::vector<test_combo> v;
  EXPECT_DEATH(generate_combo_vec(d, true, v), "generate_combo_vec");
}
