// The model the pages and the API answer from, rebuilt on a thread of its own whenever the
// stored runs change: at once after an upload to this server, and at each refresh for uploads
// that other servers on the same database took. A request only ever reads the latest build.
#pragma once
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "model_evaluation.h"
#include "share_store.h"

struct model_snapshot {
  strategy_model model;
  model_evaluation evaluation;
  bool synthetic = false;                   // learnt from the test generator's reports only
  std::map<std::string, uint32_t> skipped;  // reports by the reason they were not taken
  uint32_t left_out = 0;                    // good reports of the other kind (real or synthetic)
  uint64_t generation = 0;                  // counts the builds
};

class model_keeper {
 public:
  model_keeper(share_store& store, bool synthetic, int refresh_seconds);
  ~model_keeper();
  model_keeper(const model_keeper&) = delete;
  model_keeper& operator=(const model_keeper&) = delete;

  void runs_added();  // this server stored a share
  std::shared_ptr<const model_snapshot> current() const;

 private:
  void keep();
  bool load();  // true when something new was read
  void rebuild();

  share_store& store_;
  const bool synthetic_;
  const int refresh_seconds_;
  // A stored run, decoded once.
  struct kept_run {
    int64_t seq = 0;
    std::string skipped;
    report_run run;
  };
  void keep_runs(std::vector<stored_run>& stored);

  // Only the keeper's thread touches these after construction.
  std::vector<kept_run> kept_;
  int64_t last_seq_ = 0;
  uint64_t generation_ = 0;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool added_ = false, stopping_ = false;
  std::shared_ptr<const model_snapshot> current_;
  std::thread thread_;
};
