// The volume enumeration and query where a case needs what the whole scan does not show; the
// recorded machines' logs hold the rest (RAM disk signs, sizes from the free space, NTFS data
// sizes, mount point lists, suggested links, volumes not ready).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "captured_log.h"
#include "golden.h"
#include "recorded_machine.h"
#include "storage/scan_replay.h"
#include "storage/volume_ioctls.h"
#include "storage/volumes.h"
#include "support/text.h"

// ---- enumeration

TEST(volumes, filter_keeps_one_volume_ignoring_case) {
  ONLY_WITH_32_BIT_RECORDINGS();
  scan_replay m(recorded_machine("gpt_disk_two_volumes"));
  captured_log log;
  std::vector<volume_info> all, found;
  ASSERT_TRUE(enumerate_volumes(m, all, log.log));
  ASSERT_EQ(all.size(), 2u);
  std::wstring filter = all[1].interface_path;
  for (wchar_t& c : filter) c = wchar_t(towupper(c));
  EXPECT_TRUE(enumerate_volumes(m, found, log.log, &filter));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].nt_device_name, all[1].nt_device_name);

  captured_log early;
  found.clear();
  filter = L"\\\\?\\STORAGE#Volume#nowhere";
  EXPECT_FALSE(enumerate_volumes(m, found, early.log, &filter));
  EXPECT_TRUE(found.empty());
  EXPECT_EQ(early.text().find("Enumerating disk volumes"), std::string::npos);
  EXPECT_NE(early.text().find("2 Not found: \\\\?\\STORAGE#Volume#nowhere\n"), std::string::npos);
  EXPECT_EQ(m.open_handles(), 0u);
}

// A failed mount point query leaves no list behind, whatever the record held before.
TEST(volumes, mount_points_cleared_when_their_query_fails) {
  ONLY_WITH_32_BIT_RECORDINGS();
  scan_replay m(recorded_machine("mount_point_lists"));
  captured_log log;
  std::vector<volume_info> found;
  ASSERT_TRUE(enumerate_volumes(m, found, log.log));
  ASSERT_EQ(found.size(), 3u);
  found[2].mount_points = {L"stale"};
  query_volume(m, found[2], log.log);
  EXPECT_TRUE(found[2].mount_points.empty());
  EXPECT_EQ(m.open_handles(), 0u);
}

// ---- extents and sizes

TEST(volumes, drive_disk_numbers_once_each_without_unknown) {
  volume_info v;
  for (uint32_t disk : {5u, 0xFFFFFFFFu, 2u, 5u, 0u}) {
    volume_extent e;
    e.disk_number = disk;
    v.extents.push_back(e);
  }
  std::vector<uint32_t> numbers;
  EXPECT_TRUE(drive_disk_numbers(v, numbers));
  EXPECT_EQ(numbers, (std::vector<uint32_t>{0, 2, 5}));
  v.extents.resize(2);
  v.extents[0].disk_number = 0xFFFFFFFF;
  v.extents.pop_back();
  EXPECT_FALSE(drive_disk_numbers(v, numbers));
  EXPECT_TRUE(numbers.empty());
}

TEST(volumes, vds_volume_type_labels) {
  expect_table("storage/vds_volume_types.txt",
               [](const std::string& type) { return to_utf8(vds_volume_type_label(std::stoul(type))); });
}
