#include "preview_data.h"

#include <cmath>
#include <cstdio>
#include <cwctype>

#include "bench/test_combo.h"
#include "golden.h"
#include "storage/scan_replay.h"
#include "storage/storage_scan.h"
#include "support/paths.h"

namespace {
// Rates rise with the bytes in flight towards the device's ceiling; cached reads ahead of the
// device a little, writes behind it. A small fixed ripple keeps neighbours apart.
double made_up_rate(const test_combo& c, bool read, size_t index) {
  const double in_flight = double(c.buffer_size) * c.buffer_count;
  const bool cached = c.open_flags >= 3;
  const double ceiling = (read ? 545e6 : 495e6) * (cached ? (read ? 0.93 : 0.88) : 1.0);
  const double knee = cached ? 96e3 : 260e3;
  const double ripple = 1.0 + 0.015 * std::sin(double(index) * 1.7);
  return ceiling * (1.0 - std::exp(-in_flight / knee)) * ripple;
}

std::vector<test_run> direction(const test_def& def, bool read) {
  std::vector<test_combo> combos;
  generate_combo_vec(def, read, combos);
  std::vector<test_run> runs;
  for (size_t i = 0; i < combos.size(); ++i) {
    test_run r;
    r.read = read;
    r.sequential = def.sequential;
    r.buffer_size = uint32_t(combos[i].buffer_size);
    r.buffer_count = combos[i].buffer_count;
    r.open_flags = combos[i].open_flags;
    r.duration = def.duration;
    r.ok = true;
    r.rate = made_up_rate(combos[i], read, i);
    runs.push_back(r);
  }
  return runs;
}

}  // namespace

preview_run finished_quick_run() {
  preview_run run;
  run.profile.reset(0);
  run.profile.order = 2;  // modes, sizes, counts: the same picture every time
  run.profile.update_counts();
  run.reads = direction(run.profile, true);
  run.writes = direction(run.profile, false);
  test_run& failed = run.writes.at(29);
  failed.ok = false;
  failed.rate = 0;
  failed.error.api = "WriteFile";
  failed.error.code = 1117;  // ERROR_IO_DEVICE
  return run;
}

size_t deliver(results_model& results, const preview_run& run, size_t delivered) {
  results.start_run(run.profile);
  results.on_phase(true);
  for (size_t i = 0; i < run.reads.size() && i < delivered; ++i) results.on_test_done(run.reads[i]);
  results.take_pending_results();
  if (delivered < run.reads.size()) return size_t(-1);
  results.on_phase(false);
  for (size_t i = 0; i < run.writes.size() && i < delivered; ++i) results.on_test_done(run.writes[i]);
  results.take_pending_results();
  return delivered >= run.writes.size() ? results.add_best_block() : size_t(-1);
}

std::unique_ptr<storage_stack> preview_scan() {
  scan_recording recording;
  std::string error;
  if (!read_recording(test_data_text("machines/preview_desktop.txt"), recording, error))
    std::fprintf(stderr, "machines/preview_desktop.txt: %s; the preview shows no drives\n", error.c_str());
  scan_replay m(std::move(recording));
  storage_scan* scan = new storage_scan(m, m);
  scan->timeout = 10;
  scan->strict_checksums = false;
  std::unique_ptr<storage_stack> stack;
  if (scan->start()) {
    scan->wait();
    stack = std::move(scan->model);
  }
  scan->release();
  return stack ? std::move(stack) : std::unique_ptr<storage_stack>(new storage_stack);
}

const volume_info* preview_locations::volume_of(const std::wstring& path) const {
  const parsed_path parsed = parse_path(path);
  if (parsed.kind != path_kind_drive) return nullptr;
  for (const volume_info& v : stack_.volumes)
    for (const std::wstring& mount : v.mount_points)
      if (mount.size() == 3 && std::towupper(mount[0]) == std::towupper(parsed.root[0])) return &v;
  return nullptr;
}

bool preview_locations::exists(const std::wstring& path) { return volume_of(path) != nullptr; }

bool preview_locations::volume_path_name(const std::wstring& path, std::wstring& root) {
  const volume_info* v = volume_of(path);
  if (v) root = v->mount_points.front();
  return v != nullptr;
}

bool preview_locations::volume_identity(const std::wstring& root, uint32_t& serial, std::wstring& file_system) {
  const volume_info* v = volume_of(root);
  if (!v) return false;
  serial = v->serial_number;
  file_system = v->file_system;
  return true;
}
