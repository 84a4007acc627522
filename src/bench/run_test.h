#pragma once

#include <string>

#include "bench/test_run.h"
#include "support/api_error.h"

// Whether each request's time from issue to collection is measured; off only to measure what that costs.
enum class latency_timing { on, off };

// One timed test over an existing file; fills the stamps, byte counts, rates and latencies of
// `run`. Random offsets come from a generator seeded with `offset_seed`, or with the tick count.
bool run_test(const std::wstring& file_name, test_run& run, api_error_cb* errors, uint32_t offset_seed,
              latency_timing timing = latency_timing::on);
bool run_test(const std::wstring& file_name, test_run& run, api_error_cb* errors);
