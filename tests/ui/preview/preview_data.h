#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "bench/test_def.h"
#include "bench/test_run.h"
#include "ui/results_model.h"
#include "storage/storage_model.h"
#include "storage/location_api.h"

// Made-up data for looking at the windows without a run or a real machine.

// A Quick run in a fixed order with plausible rates of a SATA SSD: 68 reads and 68 writes, the
// 30th write failed. The profile is the one it ran with.
struct preview_run {
  test_def profile;
  std::vector<test_run> reads, writes;
};
preview_run finished_quick_run();

// Hands the first `delivered` records of each direction to the results model the way the
// runner does, and carries them over; a complete run also gets its best-rate block, whose first
// row's index is returned (size_t(-1) for a run still going).
size_t deliver(results_model& results, const preview_run& run, size_t delivered);

// The recorded machine with a Seagate hard disk (C: and D:) and a Samsung NVMe drive (E:), scanned
// by the storage scan on its own thread.
std::unique_ptr<storage_stack> preview_scan();

// The system's answers for locations on that machine: a drive path is on the scanned volume
// of its letter; other paths do not exist.
class preview_locations final : public location_api {
 public:
  explicit preview_locations(const storage_stack& stack) : stack_(stack) {}
  bool exists(const std::wstring& path) override;
  bool volume_path_name(const std::wstring& path, std::wstring& root) override;
  bool volume_identity(const std::wstring& root, uint32_t& serial, std::wstring& file_system) override;
  bool is_remote_drive(const std::wstring&) override { return false; }
  share_info remote_protocol(const std::wstring&) override { return {}; }
  std::wstring os_name() override { return L"Windows 10 Pro 64-bit (19045)"; }

 private:
  const volume_info* volume_of(const std::wstring& path) const;
  const storage_stack& stack_;
};
