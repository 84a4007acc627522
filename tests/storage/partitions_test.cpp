#include <gtest/gtest.h>

#include <vector>

#include "storage/drives.h"

namespace {
drive_partition part(uint32_t number, uint64_t offset, uint64_t length, std::vector<partition_slice> slices = {}) {
  drive_partition p;
  p.number = number;
  p.offset = offset;
  p.length = length;
  p.slices = std::move(slices);
  return p;
}

struct range {
  uint64_t offset, length;
  bool gap;
  bool operator==(const range& o) const { return offset == o.offset && length == o.length && gap == o.gap; }
};
std::ostream& operator<<(std::ostream& os, const range& r) {
  return os << "{" << r.offset << "," << r.length << (r.gap ? ",gap}" : "}");
}

std::vector<range> ranges(const drive_info& d) {
  std::vector<range> out;
  for (const drive_partition& p : d.partitions) out.push_back({p.offset, p.length, p.gap});
  return out;
}
std::vector<range> slices(const drive_partition& p) {
  std::vector<range> out;
  for (const partition_slice& s : p.slices) out.push_back({s.offset, s.length, s.link == -1});
  return out;
}
}  // namespace

TEST(normalize_partitions, gaps_between_partitions_and_up_to_capacity) {
  drive_info d;
  d.capacity = 1000;
  d.partitions = {part(2, 600, 100), part(1, 100, 300)};
  normalize_partitions(d);
  EXPECT_EQ(ranges(d), (std::vector<range>{
                           {0, 100, true}, {100, 300, false}, {400, 200, true}, {600, 100, false}, {700, 300, true}}));
  EXPECT_EQ(d.partitions[1].number, 1u);
  EXPECT_EQ(d.partitions[3].number, 2u);
}

TEST(normalize_partitions, adjacent_partitions_filling_the_disk_get_no_gap) {
  drive_info d;
  d.capacity = 300;
  d.partitions = {part(1, 0, 100), part(2, 100, 200)};
  normalize_partitions(d);
  EXPECT_EQ(ranges(d), (std::vector<range>{{0, 100, false}, {100, 200, false}}));
}

TEST(normalize_partitions, unknown_capacity_leaves_the_tail_open) {
  drive_info d;
  d.partitions = {part(1, 0, 100)};
  normalize_partitions(d);
  EXPECT_EQ(ranges(d), (std::vector<range>{{0, 100, false}}));
}

TEST(normalize_partitions, slices_sorted_gaps_filled_links_reset) {
  drive_info d;
  d.capacity = 1000;
  d.partitions = {part(1, 100, 500, {{400, 100, 7}, {150, 50, 3}})};
  normalize_partitions(d);
  ASSERT_EQ(d.partitions.size(), 3u);
  EXPECT_EQ(
      slices(d.partitions[1]),
      (std::vector<range>{{100, 50, true}, {150, 50, true}, {200, 200, true}, {400, 100, true}, {500, 100, true}}));
  // A gap record is covered by one gap slice.
  EXPECT_EQ(slices(d.partitions[0]), (std::vector<range>{{0, 100, true}}));
  EXPECT_EQ(slices(d.partitions[2]), (std::vector<range>{{600, 400, true}}));
}

TEST(normalize_partitions, a_slice_covering_the_partition_stays_alone) {
  drive_info d;
  d.capacity = 100;
  d.partitions = {part(1, 0, 100, {{0, 100, 2}})};
  normalize_partitions(d);
  ASSERT_EQ(d.partitions.size(), 1u);
  ASSERT_EQ(d.partitions[0].slices.size(), 1u);
  EXPECT_EQ(d.partitions[0].slices[0].link, -1);
}
