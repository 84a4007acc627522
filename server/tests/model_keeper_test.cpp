// The keeper reads only what is new, and everything again when another server's transaction
// committed a lower seq after a higher one had been read.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "model_keeper.h"
#include "report_runs.h"
#include "run_record.h"
#include "synthetic_reports.h"

namespace {

class listed_store final : public share_store {
 public:
  void add(int64_t seq, const std::string& run) {
    std::lock_guard<std::mutex> lock(mutex_);
    rows_.push_back({seq, "share", run.empty() ? skip_cut_short : "", run});
    std::sort(rows_.begin(), rows_.end(), [](const stored_run& a, const stored_run& b) { return a.seq < b.seq; });
  }
  bool load_runs(int64_t after, std::vector<stored_run>& runs, std::string&) override {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const stored_run& row : rows_)
      if (row.seq > after) runs.push_back(row);
    return true;
  }
  bool count_runs(int64_t& count, int64_t& last_seq, std::string&) override {
    std::lock_guard<std::mutex> lock(mutex_);
    count = static_cast<int64_t>(rows_.size());
    last_seq = rows_.empty() ? 0 : rows_.back().seq;
    return true;
  }
  bool insert(const new_share&, std::string&) override { return false; }
  std::optional<stored_share> find_share(const std::string&) override { return std::nullopt; }
  std::optional<std::string> find_png(const std::string&, const std::string&) override { return std::nullopt; }
  bool healthy() override { return true; }
  bool backup(const std::string&, std::string&) override { return false; }

 private:
  std::mutex mutex_;
  std::vector<stored_run> rows_;
};

std::string run_text(uint32_t machine) {
  synthetic_device device{{"SSD", "Acme", "Fast 1", "3 / 11", ""}, {1048576, 8, 4}, {4194304, 4, 3}, 520};
  return encode_run(parse_report(synthetic_report(device, machine, 1)).run);
}

std::shared_ptr<const model_snapshot> after_build(const model_keeper& keeper, uint64_t generation) {
  for (int wait = 0; wait < 400 && keeper.current()->generation == generation; ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  return keeper.current();
}

}  // namespace

TEST(model_keeper, reads_new_runs_and_all_again_when_an_earlier_one_appears_late) {
  listed_store store;
  store.add(1, run_text(1));
  store.add(3, run_text(3));
  store.add(4, "");
  model_keeper keeper(store, true, 3600);
  auto first = keeper.current();
  EXPECT_EQ(first->model.runs(), 2u);
  EXPECT_EQ(first->skipped.at(skip_cut_short), 1u);

  store.add(5, run_text(5));
  keeper.runs_added();
  auto second = after_build(keeper, first->generation);
  EXPECT_EQ(second->model.runs(), 3u);

  // Seq 2 committed after 5 had been read: nothing above 5 is new, but the count tells.
  store.add(2, run_text(2));
  keeper.runs_added();
  auto third = after_build(keeper, second->generation);
  EXPECT_EQ(third->model.runs(), 4u);
  EXPECT_EQ(third->model.observations().size(), 4u);
  EXPECT_EQ(third->skipped.at(skip_cut_short), 1u);
  EXPECT_EQ(third->left_out, 0u);
}
