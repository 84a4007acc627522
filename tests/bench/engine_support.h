#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "bench/test_def.h"
#include "bench/test_runner_cb.h"
#include "captured_log.h"
#include "handle_count.h"
#include "scratch_dir.h"

constexpr uint64_t MiB = 1024 * 1024;

// A small profile: 2 sizes x 2 counts, "raw" + "buf seq" reads, "raw" + "raw seq" writes.
test_def small_profile(const std::wstring& path);

// Every engine test runs under Windows' rules for unbuffered handles and SetFileValidData, with
// 4,096-byte sectors, whatever the platform underneath allows. A test that needs another sector
// size holds one of these.
constexpr uint32_t test_sector_size = 4096;
class strict_sector {
 public:
  explicit strict_sector(uint32_t sector_size);
  ~strict_sector();
  strict_sector(const strict_sector&) = delete;
  strict_sector& operator=(const strict_sector&) = delete;
};

// Records every callback; answers false where a test asks it to.
struct recording_runner : test_runner_cb {
  std::vector<std::pair<uint64_t, uint64_t>> progress;
  std::vector<bool> phases;
  std::vector<test_run> runs;
  int cancel_progress_at = -1;  // index into progress
  int stop_phase_at = -1;       // index into phases
  int cut_test_at = -1;         // index into runs

  bool on_init_progress(uint64_t done, uint64_t total) override;
  bool on_phase(bool read) override;
  bool on_test_done(const test_run& run) override;
};
