#include "bench/profile_limits.h"

#include <windows.h>

#include "bench/io_file.h"
#include "bench/profile_text.h"

buffer_pair largest_buffer_pair(const test_def& def) {
  // Sizes below 4G and 32-bit counts: no product overflows.
  buffer_pair largest;
  for (uint64_t size : def.buffer_sizes)
    for (uint32_t count : def.buffer_counts)
      if (def.within_cap(size, count) && size * count > largest.bytes()) largest = {size, count};
  return largest;
}

std::vector<uint64_t> unaligned_raw_sizes(const test_def& def, uint32_t sector_size) {
  constexpr uint32_t raw_bits = 0x07;  // "raw", "raw seq", "raw rnd"
  std::vector<uint64_t> sizes;
  if (sector_size == 0 || ((def.read_modes | def.write_modes) & raw_bits) == 0) return sizes;
  for (uint64_t size : def.buffer_sizes) {
    if (size % sector_size == 0) continue;
    bool tested = false;
    for (uint32_t count : def.buffer_counts) tested |= def.within_cap(size, count);
    bool listed = false;
    for (uint64_t s : sizes) listed |= s == size;
    if (tested && !listed) sizes.push_back(size);
  }
  return sizes;
}

std::string size_list_text(const std::vector<uint64_t>& sizes) {
  std::string text;
  for (uint64_t s : sizes) text += (text.empty() ? "" : " ") + format_size(s);
  return text;
}

uint32_t location_sector_size(const std::wstring& location) {
  if (const uint32_t strict = strict_io_sector_size()) return strict;
  wchar_t root[MAX_PATH + 1];
  DWORD per_cluster = 0, sector = 0, free_clusters = 0, clusters = 0;
  if (GetVolumePathNameW(location.c_str(), root, MAX_PATH + 1) &&
      GetDiskFreeSpaceW(root, &per_cluster, &sector, &free_clusters, &clusters) && sector != 0)
    return sector;
  return 512;
}

uint64_t sector_file_size(uint64_t size, uint32_t sector_size) {
  if (sector_size == 0 || size == 0) return size;
  const uint64_t rounded = size - size % sector_size;
  return rounded ? rounded : sector_size;
}
