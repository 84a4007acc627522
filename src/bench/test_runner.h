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
// A profile whose raw tests use sizes that are not multiples of the location's sector size is
// refused before anything is created ("CheckSectorSize", naming the sizes); the test file's size
// is rounded down to whole sectors.
bool execute_tests(const test_def& def, test_runner_cb& cb, logger& log, purge_fn purge = nullptr,
                   uint32_t passes = 1, std::optional<uint32_t> seed = std::nullopt);
