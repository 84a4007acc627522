#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/test_runner_cb.h"
#include "results/cache_guard.h"
#include "results/repeat_summary.h"

// Set from the console's Ctrl+C handler; every callback after it answers false.
extern volatile LONG cli_cancel_requested;
void install_cli_cancel_handler();

// Reports a run's progress on a stream and keeps every finished test of every pass.
class cli_progress : public test_runner_cb {
 public:
  // `per_pass`: the planned read and write tests of one pass; a new pass is announced when
  // there is more than one. The guard marks suspect results as they come.
  cli_progress(FILE* out, const cache_guard& guard, uint32_t passes = 1, uint32_t read_per_pass = 0,
               uint32_t write_per_pass = 0);
  bool on_init_progress(uint64_t done, uint64_t total) override;
  bool on_phase(bool read) override;
  bool on_test_done(const test_run& run) override;

  std::vector<test_run> read_results, write_results;

 private:
  FILE* out_;
  const cache_guard& guard_;
  uint32_t passes_, read_per_pass_, write_per_pass_;
  int last_percent_ = -1;
};

// One line of progress for a finished test, " cache-suspect" at its end when it is.
std::string test_line(const test_run& run, bool suspect = false);

// Each combination's median and spread, after a run of several passes.
std::string median_lines(const std::vector<combo_result>& combos);

// "Best read:  ..." and the combinations tied with it, or "n/a".
std::string best_lines(const char* direction, const std::vector<combo_result>& combos);

// "direction,count,size,mode,ok,error,rate,rate_total,bytes,rate_min,rate_max,passes,flags" and
// one row per combination: its median pass, its spread, its number of passes and its marks.
std::string csv_text(const std::vector<combo_result>& reads, const std::vector<combo_result>& writes);
