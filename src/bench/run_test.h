#pragma once

#include <string>

#include "bench/test_run.h"
#include "support/api_error.h"

// One timed test over an existing file; fills the stamps, byte counts and rates of `run`.
bool run_test(const std::wstring& file_name, test_run& run, api_error_cb* errors);
