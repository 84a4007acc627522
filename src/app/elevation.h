#pragma once

#include "support/api_error.h"

// 1 default token (no split, or a system without elevation), 2 limited, 3 full; 0 undetermined.
enum elevation_state : int { elevation_unknown = 0, elevation_default = 1, elevation_limited = 2, elevation_full = 3 };

// False when the token could not be asked.
bool query_elevation_state(int& state, api_error_cb* errors);
bool enable_privilege(const wchar_t* name, api_error_cb* errors);
// The two privileges of the benchmark: preallocating the test file and purging the cache.
bool enable_benchmark_privileges(api_error_cb* errors);
