#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bench/test_def.h"
#include "bench/test_run.h"
#include "bench/test_runner_cb.h"
#include "results/raw_rows.h"
#include "ui/results_lock.h"
#include "ui/run_view_cb.h"

enum class stop_kind : int { none = 0, end_phase = 1, end_run = 2 };

struct init_progress_info {
  uint64_t done = 0, total = 0;
};

// Where the records and rows of one tick begin, for the list and the graphs.
struct new_results {
  size_t first_read = 0;
  size_t first_write = 0;
  size_t first_row = 0;
};

// The results of the current run. The runner callbacks run on the worker thread and touch only
// what the lock guards; everything else belongs to the user-interface thread.
class results_model final : public test_runner_cb {
 public:
  explicit results_model(run_view_cb* view = nullptr) : view_(view) {}

  // Empties everything for a run of this profile; no run may be going.
  void start_run(const test_def& def);
  // A stop never weakens one already pending.
  void request_stop(stop_kind kind);
  stop_kind stop_request();
  init_progress_info init_progress();
  int run_phase();  // 0 preparing, 1 reading, 2 writing

  // Moves the finished records over and adds their rows.
  new_results take_pending_results();
  // The best-rate block at the end of a run; returns the index of its first row.
  size_t add_best_block() { return rows_.add_best_block(read_results_, write_results_); }

  bool on_init_progress(uint64_t done, uint64_t total) override;
  bool on_phase(bool read) override;
  bool on_test_done(const test_run& run) override;

  const std::vector<test_run>& read_results() const { return read_results_; }
  const std::vector<test_run>& write_results() const { return write_results_; }
  uint32_t planned_reads() const { return planned_reads_; }
  uint32_t planned_writes() const { return planned_writes_; }
  raw_rows& rows() { return rows_; }
  const raw_rows& rows() const { return rows_; }
  double best_read_so_far() const { return rows_.best_read_so_far(); }
  double best_write_so_far() const { return rows_.best_write_so_far(); }

 private:
  run_view_cb* view_;
  uint32_t planned_reads_ = 0;
  uint32_t planned_writes_ = 0;
  std::vector<test_run> read_results_;
  std::vector<test_run> write_results_;
  raw_rows rows_;

  results_lock lock_;  // guards the members below
  std::vector<test_run> pending_results_;
  init_progress_info init_progress_;
  int run_phase_ = 0;
  stop_kind stop_request_ = stop_kind::none;
};
