#pragma once

#include "bench/unbuffered_probe.h"
#include "results/cache_guard.h"
#include "storage/location_summary.h"

// The cache guard of a run: what the probe found at the location, and the link the storage scan
// knows under it.
cache_guard build_cache_guard(unbuffered_state unbuffered, const location_summary& summary);
