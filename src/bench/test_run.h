#pragma once

#include <cstdint>

#include "bench/latency_histogram.h"
#include "support/api_error.h"

// One single test: its parameters in, its measurements out.
struct test_run {
  bool sequential = true;
  bool read = true;
  uint32_t buffer_count = 0;
  uint32_t buffer_size = 0;
  uint32_t open_flags = 0;
  uint32_t duration = 0;
  uint64_t byte_limit = 0;
  bool remote = false;
  uint32_t fill = 3;
  bool flush = false;
  bool ok = false;
  api_error_info error;
  int64_t t_open = 0;
  int64_t t_start = 0;
  int64_t t_end = 0;
  int64_t t_closed = 0;
  uint64_t bytes_issued = 0;
  uint64_t bytes_done = 0;
  double rate = 0;
  double rate_total = 0;
  latency_summary latency;  // of a test that completed
};
