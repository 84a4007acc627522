#pragma once

#include <cstdint>
#include <vector>

// The built-in profiles; the fields common to all live in test_def::reset.
struct test_preset {
  const wchar_t* name;
  std::vector<uint64_t> buffer_sizes;
  std::vector<uint32_t> buffer_counts;
  uint64_t memory_cap;
  uint32_t duration;
  uint32_t read_modes;
};

constexpr int preset_count = 3;
extern const test_preset test_presets[preset_count];
