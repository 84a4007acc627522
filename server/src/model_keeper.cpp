#include "model_keeper.h"

#include <chrono>
#include <cstdio>

#include "report_runs.h"
#include "run_record.h"

model_keeper::model_keeper(share_store& store, bool synthetic, int refresh_seconds)
    : store_(store), synthetic_(synthetic), refresh_seconds_(refresh_seconds) {
  // The first build before the first request: a server never answers from no model at all.
  load();
  rebuild();
  thread_ = std::thread([this] { keep(); });
}

model_keeper::~model_keeper() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void model_keeper::runs_added() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    added_ = true;
  }
  wake_.notify_all();
}

std::shared_ptr<const model_snapshot> model_keeper::current() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return current_;
}

void model_keeper::keep() {
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait_for(lock, std::chrono::seconds(refresh_seconds_), [this] { return added_ || stopping_; });
      if (stopping_) return;
      added_ = false;
    }
    if (!load()) continue;
    auto began = std::chrono::steady_clock::now();
    rebuild();
    // While uploads stream in, builds back to back would take a core: rest as long as the
    // build took, so the model costs at most half of one.
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait_for(lock, std::chrono::steady_clock::now() - began, [this] { return stopping_; });
  }
}

void model_keeper::keep_runs(std::vector<stored_run>& stored) {
  for (stored_run& row : stored) {
    kept_run run{row.seq, std::move(row.skipped), {}};
    if (run.skipped.empty()) {
      auto decoded = decode_run(row.run);
      if (decoded) run.run = std::move(*decoded);
      else run.skipped = skip_unreadable;
    }
    kept_.push_back(std::move(run));
  }
  last_seq_ = kept_.empty() ? 0 : kept_.back().seq;
}

bool model_keeper::load() {
  int64_t count = 0, last_seq = 0;
  std::string error;
  std::vector<stored_run> added;
  bool read = store_.count_runs(count, last_seq, error);
  if (read && count == static_cast<int64_t>(kept_.size()) && last_seq == last_seq_) return false;
  if (read && (read = store_.load_runs(last_seq_, added, error))) keep_runs(added);
  // Another server's transaction may commit a lower seq after a higher one was read: the
  // counts differ then, and everything is read again.
  if (read && static_cast<int64_t>(kept_.size()) < count) {
    added.clear();
    if ((read = store_.load_runs(0, added, error))) {
      kept_.clear();
      keep_runs(added);
    }
  }
  if (!read) std::fprintf(stderr, "folvi-share: reading the parsed reports: %s\n", error.c_str());
  return read;
}

void model_keeper::rebuild() {
  auto snapshot = std::make_shared<model_snapshot>();
  snapshot->synthetic = synthetic_;
  std::vector<report_run> runs;
  for (const kept_run& kept : kept_) {
    if (!kept.skipped.empty()) ++snapshot->skipped[kept.skipped];
    else if (kept.run.synthetic != synthetic_) ++snapshot->left_out;
    else runs.push_back(kept.run);
  }
  snapshot->model = strategy_model(std::move(runs));
  snapshot->evaluation = evaluate_model(snapshot->model);
  snapshot->generation = ++generation_;
  std::lock_guard<std::mutex> lock(mutex_);
  current_ = std::move(snapshot);
}
