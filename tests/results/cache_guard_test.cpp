#include "results/cache_guard.h"

#include <gtest/gtest.h>

#include "bench/test_def.h"
#include "golden.h"
#include "run_records.h"

namespace {
constexpr uint32_t raw = flag_no_buffering;
constexpr uint32_t buf_seq = flag_sequential_scan;

// A guard's verdict on one pass of `runs`: how many it flags above the link, which it marks
// suspect, its warning about unbuffered I/O and, with a link, its warning for 1 and 3 combinations.
std::string verdict(const cache_guard& g, const std::vector<test_run>& runs) {
  std::vector<combo_result> c = summarize_repeats(runs, uint32_t(runs.size()));
  std::string out = "flagged " + std::to_string(flag_cache_suspects(g, c)) + ", suspect";
  for (const combo_result& r : c) out += r.cache_suspect ? " yes" : " no";
  out += "\n  unbuffered \"" + unbuffered_warning(g) + "\"\n";
  return g.link_name.empty() ? out : out + "  link \"" + link_warning(g, 1) + "\" \"" + link_warning(g, 3) + "\"\n";
}
}  // namespace

// A USB 2.0 device's reads faster than its link (exactly at it is possible); a location that
// enforces unbuffered I/O, or is not known to, gets no warning; where it is not enforced, raw
// results are suspect (any pass suspect makes the combination so), cached ones by choice not.
TEST(cache_guard, links_and_unbuffered_states) {
  cache_guard usb;
  usb.unbuffered = unbuffered_state::enforced;
  usb.link_name = "USB 2.0";
  usb.link_limit = 60e6;
  cache_guard enforced, unknown, not_enforced;
  enforced.unbuffered = unbuffered_state::enforced;
  unknown.unbuffered = unbuffered_state::unknown;
  not_enforced.unbuffered = unbuffered_state::not_enforced;
  const std::vector<test_run> fast = {completed(true, 4, 65536, raw, 5e9), completed(false, 4, 65536, raw, 5e9)};
  expect_golden(verdict(usb, {completed(true, 4, 65536, raw, 200e6), completed(true, 1, 8192, raw, 40e6),
                              completed(true, 1, 65536, buf_seq, 60e6)}) +
                    verdict(enforced, fast) + verdict(unknown, fast) +
                    verdict(not_enforced, {completed(true, 1, 8192, raw | flag_sequential_scan, 1e6),
                                           completed(true, 1, 8192, buf_seq, 1e9)}),
                "results/cache_guards.txt");
  EXPECT_EQ(link_warning(usb, 0), "");
  // A failed pass is no measurement, however fast its record says it went.
  test_run odd = completed(true, 4, 65536, raw, 900e6);
  odd.ok = false;
  EXPECT_FALSE(usb.suspect(odd));
  EXPECT_FALSE(unknown.suspect(fast[0]));
}
