#include "engine_support.h"

#include "bench/io_file.h"

namespace {
const struct strict_rules_on {
  strict_rules_on() { set_strict_io_rules(test_sector_size); }
} strict_rules;
}  // namespace

test_def small_profile(const std::wstring& path) {
  test_def d;
  d.path = path;
  d.file_size = 2 * MiB;
  d.buffer_sizes = {4096, 65536};
  d.buffer_counts = {1, 4};
  d.duration = 0;
  d.update_counts();
  return d;
}

strict_sector::strict_sector(uint32_t sector_size) { set_strict_io_rules(sector_size); }
strict_sector::~strict_sector() { set_strict_io_rules(test_sector_size); }

bool recording_runner::on_init_progress(uint64_t done, uint64_t total) {
  progress.emplace_back(done, total);
  return int(progress.size()) - 1 != cancel_progress_at;
}

bool recording_runner::on_phase(bool read) {
  phases.push_back(read);
  return int(phases.size()) - 1 != stop_phase_at;
}

bool recording_runner::on_test_done(const test_run& run) {
  runs.push_back(run);
  return int(runs.size()) - 1 != cut_test_at;
}
