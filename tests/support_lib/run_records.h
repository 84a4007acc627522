#pragma once

#include "bench/test_run.h"

// Records as the runner hands them over.
test_run completed(bool read, uint32_t count, uint32_t size, uint32_t flags, double rate);
test_run failed(bool read, uint32_t count, uint32_t size, uint32_t flags, const char* api, uint32_t code,
                double rate = 0);
