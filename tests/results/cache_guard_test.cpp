#include "results/cache_guard.h"

#include <gtest/gtest.h>

#include "bench/test_def.h"
#include "run_records.h"

namespace {
constexpr uint32_t raw = flag_no_buffering;
constexpr uint32_t buf_seq = flag_sequential_scan;

std::vector<combo_result> one_pass(const std::vector<test_run>& runs) {
  return summarize_repeats(runs, uint32_t(runs.size()));
}
}  // namespace

TEST(cache_guard, usb_2_device_flags_a_200_mbps_read) {
  cache_guard g;
  g.unbuffered = unbuffered_state::enforced;
  g.link_name = "USB 2.0";
  g.link_limit = 60e6;
  std::vector<combo_result> c = one_pass({completed(true, 4, 65536, raw, 200e6), completed(true, 1, 8192, raw, 40e6),
                                          completed(true, 1, 65536, buf_seq, 60e6)});
  EXPECT_EQ(flag_cache_suspects(g, c), 1u);
  EXPECT_TRUE(c[0].cache_suspect);
  EXPECT_FALSE(c[1].cache_suspect);
  EXPECT_FALSE(c[2].cache_suspect);  // exactly at the link is possible
  EXPECT_EQ(unbuffered_warning(g), "");
  EXPECT_EQ(link_warning(g, 1), "1 combination is faster than USB 2.0 carries (57.2 MBps): cache-suspect");
  EXPECT_EQ(link_warning(g, 3), "3 combinations are faster than USB 2.0 carries (57.2 MBps): cache-suspect");
  EXPECT_EQ(link_warning(g, 0), "");

  // A failed pass is no measurement, however fast its record says it went.
  test_run odd = completed(true, 4, 65536, raw, 900e6);
  odd.ok = false;
  EXPECT_FALSE(g.suspect(odd));
}

TEST(cache_guard, a_location_that_enforces_unbuffered_io_gets_no_warning) {
  cache_guard g;
  g.unbuffered = unbuffered_state::enforced;
  std::vector<combo_result> c = one_pass({completed(true, 4, 65536, raw, 5e9), completed(false, 4, 65536, raw, 5e9)});
  EXPECT_EQ(flag_cache_suspects(g, c), 0u);
  EXPECT_FALSE(c[0].cache_suspect);
  EXPECT_FALSE(c[1].cache_suspect);
  EXPECT_EQ(unbuffered_warning(g), "");
  g.unbuffered = unbuffered_state::unknown;
  EXPECT_EQ(unbuffered_warning(g), "");
  EXPECT_FALSE(g.suspect(c[0].run));
}

TEST(cache_guard, raw_results_where_unbuffered_io_is_not_enforced) {
  cache_guard g;
  g.unbuffered = unbuffered_state::not_enforced;
  // Any pass suspect makes the combination suspect.
  std::vector<test_run> runs = {completed(true, 1, 8192, raw | flag_sequential_scan, 1e6),
                                completed(true, 1, 8192, buf_seq, 1e9)};
  std::vector<combo_result> c = one_pass(runs);
  EXPECT_EQ(flag_cache_suspects(g, c), 0u);  // none is above a link: there is none
  EXPECT_TRUE(c[0].cache_suspect);
  EXPECT_FALSE(c[1].cache_suspect);  // cached by choice
  EXPECT_EQ(unbuffered_warning(g),
            "unbuffered I/O is not enforced at this location (an unaligned unbuffered read succeeded): \"raw\" "
            "results include the file cache and are marked cache-suspect");
}
