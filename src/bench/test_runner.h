#pragma once

#include "bench/test_def.h"
#include "bench/test_runner_cb.h"
#include "support/api_error.h"
#include "support/logger.h"

using purge_fn = bool (*)(api_error_cb* errors);

// A whole run: create the file, the read phase, the write phase, delete the file.
// `purge` is the cache purge; tests put a failing one in its place. Each phase runs its whole
// list of tests `passes` times, one pass after the other.
bool execute_tests(const test_def& def, test_runner_cb& cb, logger& log, purge_fn purge = nullptr,
                   uint32_t passes = 1);
