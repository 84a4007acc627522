#pragma once

#include <string>
#include <vector>

#include "bench/test_run.h"
#include "bench/unbuffered_probe.h"
#include "results/repeat_summary.h"

// What is known before a run about results that cannot have come from the device alone.
struct cache_guard {
  unbuffered_state unbuffered = unbuffered_state::unknown;
  std::string link_name;  // the slowest link to the device, e.g. "USB 2.0"; empty when unknown
  double link_limit = 0;  // bytes per second that link carries at most; 0 when unknown

  // "raw" results where unbuffered I/O is not enforced: they include the file cache.
  bool raw_is_cached(const test_run& run) const;
  // A completed result faster than the link.
  bool above_link(const test_run& run) const;
  bool suspect(const test_run& run) const { return raw_is_cached(run) || above_link(run); }
};

extern const char cache_suspect_flag[];  // "cache-suspect"

// Marks every combination one of whose passes is suspect; returns how many are above the link.
size_t flag_cache_suspects(const cache_guard& guard, std::vector<combo_result>& combos);

// The one-line warnings, empty when there is nothing to say.
std::string unbuffered_warning(const cache_guard& guard);
std::string link_warning(const cache_guard& guard, size_t above_link);
