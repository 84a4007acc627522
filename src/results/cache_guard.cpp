#include "results/cache_guard.h"

#include "bench/test_def.h"
#include "results/rate_text.h"
#include "support/format_string.h"

const char cache_suspect_flag[] = "cache-suspect";

bool cache_guard::raw_is_cached(const test_run& run) const {
  return unbuffered == unbuffered_state::not_enforced && (run.open_flags & flag_no_buffering) != 0;
}

bool cache_guard::above_link(const test_run& run) const { return link_limit > 0 && run.ok && run.rate > link_limit; }

size_t flag_cache_suspects(const cache_guard& guard, std::vector<combo_result>& combos) {
  size_t above = 0;
  for (combo_result& c : combos) {
    bool over_link = false;
    for (const test_run& p : c.passes) {
      if (guard.suspect(p)) c.cache_suspect = true;
      if (guard.above_link(p)) over_link = true;
    }
    if (over_link) ++above;
  }
  return above;
}

std::string unbuffered_warning(const cache_guard& guard) {
  if (guard.unbuffered != unbuffered_state::not_enforced) return {};
  return "unbuffered I/O is not enforced at this location (an unaligned unbuffered read succeeded): \"raw\" results "
         "include the file cache and are marked cache-suspect";
}

std::string link_warning(const cache_guard& guard, size_t above_link) {
  if (above_link == 0) return {};
  return format_string("%u %s faster than %s carries (%.1f MBps): cache-suspect", unsigned(above_link),
                       above_link == 1 ? "combination is" : "combinations are", guard.link_name.c_str(),
                       binary_mbps(guard.link_limit));
}
