#pragma once

#include <cstdint>
#include <string>
#include <vector>

// CreateFile flags of the file-open modes, by mode-mask bit.
constexpr uint32_t flag_no_buffering = 0x20000000;
constexpr uint32_t flag_sequential_scan = 0x08000000;
constexpr uint32_t flag_random_access = 0x10000000;
constexpr int mode_count = 6;
extern const uint32_t mode_flags[mode_count];

// Display names in display order (see mode_index).
extern const char* const mode_names[mode_count];
extern const wchar_t* const mode_names_w[mode_count];

int mode_index(uint32_t open_flags);
const char* fill_name(uint32_t fill);

struct test_def {
  std::wstring name;
  std::wstring path;
  bool remote = false;
  bool sequential = true;
  uint64_t file_size = 0;
  uint32_t init_time_factor = 0;
  std::vector<uint64_t> buffer_sizes;
  std::vector<uint32_t> buffer_counts;
  uint64_t memory_cap = 0;
  uint32_t duration = 0;
  uint32_t fill = 0;
  uint32_t order = 0;
  uint32_t cache_trim = 0;
  uint32_t read_modes = 0;
  uint32_t write_modes = 0;
  bool flush = false;
  uint32_t combo_count = 0;
  uint32_t read_tests = 0;
  uint32_t write_tests = 0;

  test_def() { reset(0); }

  // 0 Quick, 1 Standard, 2 Extended; keeps path.
  void reset(int preset);
  void update_counts();
  bool within_cap(uint64_t size, uint32_t count) const { return memory_cap == 0 || size * count <= memory_cap; }
};
