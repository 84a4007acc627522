#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/cli_status_line.h"
#include "bench/test_runner_cb.h"
#include "results/cache_guard.h"
#include "results/repeat_summary.h"

// Set from the console's Ctrl+C handler; every callback after it answers false.
extern volatile LONG cli_cancel_requested;
void install_cli_cancel_handler();

// Whether the stream's handle is a console: then progress is kept on one line rewritten in place.
bool is_console(HANDLE stream);

struct progress_display {
  bool console = false;
  uint32_t test_duration = 0;       // ms, the time a test is guessed to take before one has ended
  std::function<uint32_t()> clock;  // ms; GetTickCount when empty
};

// Reports a run's progress on a stream and keeps every finished test of every pass. Every line it
// writes is the same on a console and elsewhere; a console also shows, on one line kept below
// them, how far the test file has come and then which test runs and the time left.
class cli_progress : public test_runner_cb {
 public:
  // `per_pass`: the planned read and write tests of one pass; a new pass is announced when
  // there is more than one. The guard marks suspect results as they come.
  cli_progress(FILE* out, const cache_guard& guard, uint32_t passes, uint32_t read_per_pass, uint32_t write_per_pass,
               progress_display display = {});
  bool on_init_progress(uint64_t done, uint64_t total) override;
  bool on_phase(bool read) override;
  bool on_test_done(const test_run& run) override;
  // After the run, before anything else is written to the stream.
  void finish();

  std::vector<test_run> read_results, write_results;

 private:
  void end_preparation();
  void show_status();
  uint32_t now() const;

  FILE* out_;
  const cache_guard& guard_;
  uint32_t passes_, read_per_pass_, write_per_pass_;
  progress_display display_;
  cli_status_line status_;
  int last_percent_ = -1;
  bool prepared_ = false;
  bool read_phase_ = true;
  uint32_t phase_done_ = 0, run_done_ = 0;
  uint32_t started_ = 0;  // the clock when the first phase began
  bool timing_ = false;
};

// One line of progress for a finished test, " cache-suspect" at its end when it is.
std::string test_line(const test_run& run, bool suspect = false);

// Each combination's median and spread, after a run of several passes.
std::string median_lines(const std::vector<combo_result>& combos);

// "Best read:  ..." and the combinations tied with it, or "n/a"; then the combination with the
// lowest p99 among those within 5% of the best rate.
std::string best_lines(const char* direction, const std::vector<combo_result>& combos);

// "direction,count,size,mode,ok,error,rate,rate_total,bytes,rate_min,rate_max,passes,flags,lat_..."
// and one row per combination: its median pass, its spread, its number of passes, its marks and
// the median pass's latencies.
std::string csv_text(const std::vector<combo_result>& reads, const std::vector<combo_result>& writes);
