#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "golden.h"
#include "storage/drives.h"
#include "support/format_string.h"

namespace {
drive_partition part(uint32_t number, uint64_t offset, uint64_t length, std::vector<partition_slice> slices = {}) {
  drive_partition p;
  p.number = number;
  p.offset = offset;
  p.length = length;
  p.slices = std::move(slices);
  return p;
}
}  // namespace

// Each disk's partitions normalised: ordered, gaps filled up to the capacity, each partition's
// slices sorted with the gaps between them, links reset; compared with
// tests/data/storage/partitions.txt.
TEST(normalize_partitions, gaps_slices_and_links) {
  const struct {
    const char* what;
    uint64_t capacity;
    std::vector<drive_partition> partitions;
  } cases[] = {
      {"gaps between partitions and up to the capacity", 1000, {part(2, 600, 100), part(1, 100, 300)}},
      {"adjacent partitions filling the disk", 300, {part(1, 0, 100), part(2, 100, 200)}},
      {"unknown capacity leaves the tail open", 0, {part(1, 0, 100)}},
      {"slices sorted, gaps filled, links reset", 1000, {part(1, 100, 500, {{400, 100, 7}, {150, 50, 3}})}},
      {"a slice covering the partition stays alone", 100, {part(1, 0, 100, {{0, 100, 2}})}},
  };
  std::string text;
  for (const auto& c : cases) {
    drive_info d;
    d.capacity = c.capacity;
    d.partitions = c.partitions;
    normalize_partitions(d);
    text += std::string(c.what) + "\n";
    for (const drive_partition& p : d.partitions) {
      text += format_string("  %s %I64u +%I64u:", p.gap ? "gap" : std::to_string(p.number).c_str(), p.offset, p.length);
      for (const partition_slice& s : p.slices) text += format_string(" %I64u+%I64u@%d", s.offset, s.length, s.link);
      text += "\n";
    }
  }
  expect_golden(text, "storage/partitions.txt");
}
