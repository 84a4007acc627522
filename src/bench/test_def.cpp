#include "bench/test_def.h"

#include "support/fatal.h"
#include "bench/test_presets.h"

const uint32_t mode_flags[mode_count] = {
    flag_no_buffering,
    flag_no_buffering | flag_sequential_scan,
    flag_no_buffering | flag_random_access,
    0,
    flag_sequential_scan,
    flag_random_access,
};

const char* const mode_names[mode_count] = {"buf", "buf seq", "buf rnd", "raw", "raw seq", "raw rnd"};
const wchar_t* const mode_names_w[mode_count] = {L"buf", L"buf seq", L"buf rnd", L"raw", L"raw seq", L"raw rnd"};

int mode_index(uint32_t open_flags) {
  int base = (open_flags & flag_no_buffering) ? 3 : 0;
  if (open_flags & flag_sequential_scan) return base + 1;
  if (open_flags & flag_random_access) return base + 2;
  return base;
}

const char* fill_name(uint32_t fill) {
  switch (fill) {
    case 1: return "zeroes";
    case 2: return "plus_1";
    case 3: return "random";
    case 4: return "extend";
    default: return "?";
  }
}

void test_def::reset(int preset) {
  if (preset < 0 || preset >= preset_count) fatal("test_def::reset");
  const test_preset& p = test_presets[preset];
  name = p.name;
  remote = false;
  sequential = true;
  file_size = 4294967296ull;
  init_time_factor = 10;
  buffer_sizes = p.buffer_sizes;
  buffer_counts = p.buffer_counts;
  memory_cap = p.memory_cap;
  duration = p.duration;
  fill = 3;
  order = 3;
  cache_trim = 2;
  read_modes = p.read_modes;
  write_modes = 0x03;
  flush = false;
  update_counts();
}

static uint32_t bits_set(uint32_t mask) {
  uint32_t n = 0;
  for (; mask; mask &= mask - 1) ++n;
  return n;
}

void test_def::update_counts() {
  uint32_t pairs = 0;
  for (uint64_t size : buffer_sizes)
    for (uint32_t count : buffer_counts)
      if (within_cap(size, count)) ++pairs;
  combo_count = pairs;
  read_tests = combo_count * bits_set(read_modes);
  write_tests = combo_count * bits_set(write_modes);
}
