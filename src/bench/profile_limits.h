#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bench/test_def.h"

// What one test can be given. Every buffer in flight has its own request and the events are shared
// by 64 at most, so the count is bounded by what a test can drive, not by handles; the buffers of
// one test must fit the 32-bit address space beside the program, in pieces of one buffer each.
constexpr uint32_t most_buffers = 1024;
constexpr uint64_t most_buffer_memory = 1ull << 30;  // size x count of one test

struct buffer_pair {
  uint64_t size = 0;
  uint32_t count = 0;
  uint64_t bytes() const { return size * count; }
};

// The pair (size, count) within the memory cap that holds the most memory; none when no pair is.
buffer_pair largest_buffer_pair(const test_def& def);

// The buffer sizes of the profile's unbuffered ("raw") tests that are not multiples of the sector
// size, in list order: Windows refuses every request of such a test.
std::vector<uint64_t> unaligned_raw_sizes(const test_def& def, uint32_t sector_size);
// "1K 2K 3000"
std::string size_list_text(const std::vector<uint64_t>& sizes);

// The sector size that unbuffered requests at a location must keep to: the strict rules' one when
// they are on, else the volume's; 512, the smallest there is, when the volume does not say.
uint32_t location_sector_size(const std::wstring& location);
// The largest multiple of the sector size not above `size`, and at least one sector.
uint64_t sector_file_size(uint64_t size, uint32_t sector_size);
