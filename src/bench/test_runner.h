#pragma once

#include <optional>

#include "bench/test_def.h"
#include "bench/test_runner_cb.h"
#include "support/api_error.h"
#include "support/logger.h"

using purge_fn = bool (*)(api_error_cb* errors);

// A whole run: create the file, the read phase, the write phase, delete the file.
// `purge` is the cache purge; tests put a failing one in its place. Each phase runs its whole
// list of tests `passes` times, one pass after the other. `seed` decides the random test order
// and the random offsets of every test; without one, each run draws its own.
// Raw tests whose sizes are not multiples of the location's sector size are named before the run
// ("CheckSectorSize") and reported as failed tests without any I/O; the others run. The test
// file's size is rounded down to whole sectors.
bool execute_tests(const test_def& def, test_runner_cb& cb, logger& log, purge_fn purge = nullptr, uint32_t passes = 1,
                   std::optional<uint32_t> seed = std::nullopt);
