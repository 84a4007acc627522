#include <algorithm>

#include "storage/drives.h"

namespace {
drive_partition gap_partition(uint64_t offset, uint64_t length) {
  drive_partition gap;
  gap.gap = true;
  gap.offset = offset;
  gap.length = length;
  return gap;
}

void fill_partition_gaps(drive_info& drive) {
  std::vector<drive_partition>& parts = drive.partitions;
  std::stable_sort(parts.begin(), parts.end(),
                   [](const drive_partition& a, const drive_partition& b) { return a.offset < b.offset; });
  std::vector<drive_partition> filled;
  uint64_t at = 0;
  for (drive_partition& p : parts) {
    if (p.offset > at) filled.push_back(gap_partition(at, p.offset - at));
    at = std::max(at, p.offset + p.length);
    filled.push_back(std::move(p));
  }
  // Without geometry the end of the disk is not known.
  if (drive.capacity != unknown_u64 && drive.capacity > at) filled.push_back(gap_partition(at, drive.capacity - at));
  parts = std::move(filled);
}

void fill_slice_gaps(drive_partition& partition) {
  std::vector<partition_slice>& slices = partition.slices;
  std::stable_sort(slices.begin(), slices.end(),
                   [](const partition_slice& a, const partition_slice& b) { return a.offset < b.offset; });
  std::vector<partition_slice> filled;
  uint64_t at = partition.offset;
  for (partition_slice& s : slices) {
    if (s.offset > at) filled.push_back({at, s.offset - at, -1});
    at = std::max(at, s.offset + s.length);
    s.link = -1;
    filled.push_back(s);
  }
  const uint64_t end = partition.offset + partition.length;
  if (end > at) filled.push_back({at, end - at, -1});
  slices = std::move(filled);
}
}  // namespace

void normalize_partitions(drive_info& drive) {
  fill_partition_gaps(drive);
  for (drive_partition& p : drive.partitions) fill_slice_gaps(p);
}
