#pragma once

#include <string>

#include "bench/test_run.h"
#include "support/api_error.h"

// One timed test over an existing file; fills the stamps, byte counts and rates of `run`. Random
// offsets come from a generator seeded with `offset_seed`, or with the tick count.
bool run_test(const std::wstring& file_name, test_run& run, api_error_cb* errors, uint32_t offset_seed);
bool run_test(const std::wstring& file_name, test_run& run, api_error_cb* errors);
