#pragma once

#include <cstdint>

#include "bench/test_run.h"

// How a run talks to its owner; a false answer is how a run is cancelled.
class test_runner_cb {
 public:
  virtual ~test_runner_cb() = default;
  virtual bool on_init_progress(uint64_t done, uint64_t total) = 0;
  virtual bool on_phase(bool read) = 0;
  virtual bool on_test_done(const test_run& run) = 0;
};
