#include "ui/results_model.h"

#include <algorithm>
#include <utility>

#include "results/raw_texts.h"

namespace {
// A reservation only saves reallocations; a huge custom profile must not fail on it.
constexpr size_t reserve_limit = 4096;
}  // namespace

void results_model::start_run(const test_def& def) {
  planned_reads_ = def.read_tests;
  planned_writes_ = def.write_tests;
  read_results_.clear();
  write_results_.clear();
  read_results_.reserve(std::min<size_t>(planned_reads_, reserve_limit));
  write_results_.reserve(std::min<size_t>(planned_writes_, reserve_limit));
  rows_.clear();
  results_lock::hold hold(lock_);
  pending_results_.clear();
  init_progress_ = {};
  run_phase_ = 0;
  stop_request_ = stop_kind::none;
}

void results_model::request_stop(stop_kind kind) {
  results_lock::hold hold(lock_);
  if (int(kind) > int(stop_request_)) stop_request_ = kind;
}

stop_kind results_model::stop_request() {
  results_lock::hold hold(lock_);
  return stop_request_;
}

init_progress_info results_model::init_progress() {
  results_lock::hold hold(lock_);
  return init_progress_;
}

int results_model::run_phase() {
  results_lock::hold hold(lock_);
  return run_phase_;
}

new_results results_model::take_pending_results() {
  new_results first{read_results_.size(), write_results_.size(), rows_.size()};
  std::vector<test_run> taken;
  {
    results_lock::hold hold(lock_);
    taken.swap(pending_results_);
  }
  // Rows follow the order in which the tests finished.
  for (test_run& run : taken) {
    rows_.add_result(run);
    (run.read ? read_results_ : write_results_).push_back(std::move(run));
  }
  return first;
}

bool results_model::on_init_progress(uint64_t done, uint64_t total) {
  results_lock::hold hold(lock_);
  init_progress_ = {done, total};
  return stop_request_ == stop_kind::none;
}

bool results_model::on_phase(bool read) {
  if (view_ && !view_->view_exists()) return false;
  bool phase_stop_cleared = false;
  bool go_on;
  {
    results_lock::hold hold(lock_);
    run_phase_ = read ? 1 : 2;
    if (stop_request_ == stop_kind::end_phase) {
      stop_request_ = stop_kind::none;
      phase_stop_cleared = true;
    }
    go_on = stop_request_ == stop_kind::none;
  }
  // The window is told outside the lock.
  if (view_) {
    if (phase_stop_cleared) view_->cancel_available_again();
    view_->phase_started(read, read ? planned_reads_ : planned_writes_,
                         read ? status_running_reads : status_running_writes);
  }
  return go_on;
}

bool results_model::on_test_done(const test_run& run) {
  results_lock::hold hold(lock_);
  pending_results_.push_back(run);
  return stop_request_ == stop_kind::none;
}
