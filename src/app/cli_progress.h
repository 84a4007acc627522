#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/test_runner_cb.h"

// Set from the console's Ctrl+C handler; every callback after it answers false.
extern volatile LONG cli_cancel_requested;
void install_cli_cancel_handler();

// Reports a run's progress on a stream and keeps every finished test.
class cli_progress : public test_runner_cb {
 public:
  explicit cli_progress(FILE* out) : out_(out) {}
  bool on_init_progress(uint64_t done, uint64_t total) override;
  bool on_phase(bool read) override;
  bool on_test_done(const test_run& run) override;

  std::vector<test_run> read_results, write_results;

 private:
  FILE* out_;
  int last_percent_ = -1;
};

// One line of progress for a finished test.
std::string test_line(const test_run& run);

// "direction,count,size,mode,ok,error,rate,rate_total,bytes" and one row per test.
std::string csv_text(const std::vector<test_run>& reads, const std::vector<test_run>& writes);
