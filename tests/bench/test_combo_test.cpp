#include "bench/test_combo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "golden.h"

namespace {
bool less(const test_combo& a, const test_combo& b) {
  return std::tie(a.buffer_size, a.buffer_count, a.open_flags) < std::tie(b.buffer_size, b.buffer_count, b.open_flags);
}
bool same(const test_combo& a, const test_combo& b) { return !less(a, b) && !less(b, a); }
std::vector<test_combo> sorted(std::vector<test_combo> v) {
  std::sort(v.begin(), v.end(), less);
  return v;
}
constexpr uint64_t M = 1024 * 1024;
}  // namespace

// The quick profile's reads by sizes (order 0) and by modes first (order 2), one combination a line;
// the random order (1) holds the same combinations.
TEST(generate_combo_vec, quick_reads_by_sizes_by_modes_and_random) {
  test_def d;
  std::vector<test_combo> by_sizes, by_modes, shuffled;
  generate_combo_vec(d, true, by_sizes);
  d.order = 2;
  generate_combo_vec(d, true, by_modes);
  d.order = 1;
  generate_combo_vec(d, true, shuffled);
  std::string out;
  for (const auto* v : {&by_sizes, &by_modes}) {
    out += "---\n";
    for (const test_combo& c : *v) {
      char line[64];
      snprintf(line, sizeof line, "%7llu x %2u %08x\n", (unsigned long long)c.buffer_size, c.buffer_count,
               c.open_flags);
      out += line;
    }
  }
  expect_golden(out, "bench/quick_read_combos.txt");
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
