#include <gtest/gtest.h>

#include "captured_log.h"

#include <string>
#include <vector>

#include "storage/storage_scan.h"

namespace {
constexpr uint64_t gib = 1ull << 30;

drive_info disk(uint32_t number, const std::string& serial, uint32_t adapter_bus = 11) {
  drive_info d;
  d.device_number = number;
  d.device_path = L"\\\\.\\PhysicalDrive" + std::to_wstring(number);
  d.serial = serial;
  d.bus_type = adapter_bus == 8 ? 8 : 11;
  d.adapter_bus_type = adapter_bus;
  d.has_geometry = true;
  d.capacity = 100 * gib;
  d.layout_style = 1;
  return d;
}

drive_partition partition(uint32_t number, uint64_t offset, uint64_t length) {
  drive_partition p;
  p.number = number;
  p.offset = offset;
  p.length = length;
  return p;
}

volume_info volume(const std::wstring& name, std::vector<volume_extent> extents) {
  volume_info v;
  v.volume_name = name;
  v.extents = std::move(extents);
  return v;
}

volume_extent extent(uint32_t disk, uint64_t offset, uint64_t length) {
  volume_extent e;
  e.disk_number = disk;
  e.offset = offset;
  e.length = length;
  return e;
}

phy_drive phy(uint32_t number, const std::string& serial) {
  phy_drive p;
  p.number = number;
  p.serial = serial;
  p.model = "ST1000DM003-1ER162";
  p.capacity = 1000204886016ull;
  p.address = "0.0." + std::to_string(number);
  return p;
}

controller_info controller(const std::wstring& id, controller_protocol protocol) {
  controller_info c;
  c.instance_id = id;
  c.description = "Intel(R) RAID Controller";
  c.protocol = protocol;
  return c;
}

}  // namespace

TEST(build_stack, drives_without_controllers_are_plain_entries) {
  storage_stack m;
  m.drives = {disk(1, "B"), disk(0, "A")};
  captured_log c;
  build_stack(m, c.target);
  EXPECT_EQ(c.text(),
            "2 Building the storage stack...\n"
            "2  1. \\\\.\\PhysicalDrive0\n"
            "2     Serial                       [A]\n"
            "2     Bus types                    11 11\n"
            "2     Storage controller           -\n"
            "2  2. \\\\.\\PhysicalDrive1\n"
            "2     Serial                       [B]\n"
            "2     Bus types                    11 11\n"
            "2     Storage controller           -\n");
  ASSERT_EQ(m.stack.size(), 2u);
  EXPECT_EQ(m.stack[0].drive->device_number, 0u);
  EXPECT_EQ(m.stack[1].drive->device_number, 1u);
  for (const stack_entry& e : m.stack) {
    EXPECT_EQ(e.controller, nullptr);
    EXPECT_TRUE(e.members.empty());
  }
}

TEST(build_stack, csmi_drive_missing_from_the_phy_list) {
  storage_stack m;
  m.controllers.push_back(controller(L"pci\\ven_8086&dev_2822\\3&1", controller_protocol::csmi));
  m.controllers[0].phys = {phy(0, "OTHER")};
  m.drives = {disk(0, "MINE")};
  m.drives[0].parent_instance_id = L"pci\\ven_8086&dev_2822\\3&1";
  m.drives[0].identify_source = source_ata;
  captured_log c;
  build_stack(m, c.target);
  EXPECT_NE(c.text().find("2     Storage controller           Intel(R) RAID Controller\n"
                          "0     NOT FOUND on the controller drive list!\n"),
            std::string::npos)
      << c.text();
  ASSERT_EQ(m.stack.size(), 2u);  // the drive, then the unmatched phy as an inaccessible drive
  EXPECT_EQ(m.stack[0].controller, &m.controllers[0]);
  EXPECT_TRUE(m.stack[0].members.empty());
  EXPECT_EQ(m.stack[1].drive, nullptr);
  ASSERT_EQ(m.stack[1].members.size(), 1u);
  EXPECT_EQ(m.stack[1].members[0], &m.controllers[0].phys[0]);
}

TEST(build_stack, no_serial_on_either_side_is_no_match) {
  storage_stack m;
  m.controllers.push_back(controller(L"pci\\sas", controller_protocol::csmi));
  m.controllers[0].phys = {phy(0, "")};
  m.drives = {disk(0, "", 10)};
  m.drives[0].parent_instance_id = L"pci\\sas";
  build_stack(m, nullptr);
  ASSERT_EQ(m.stack.size(), 2u);  // the drive unmatched, the phy an inaccessible drive of its own
  EXPECT_TRUE(m.stack[0].members.empty());
  EXPECT_EQ(m.stack[1].drive, nullptr);
}

TEST(build_stack, raid_bus_drives_take_the_csmi_sets_in_order) {
  storage_stack m;
  controller_info c = controller(L"pci\\raid", controller_protocol::csmi);
  c.phys = {phy(0, "P0"), phy(1, "P1"), phy(2, "P2"), phy(3, "P3")};
  raid_volume v0, v1;
  v0.number = 0;
  v0.raid_level = 1;
  v0.drives = {0, 1};
  v1.number = 1;
  v1.drives = {2};
  v1.spares = {3, 2};  // a phy listed twice is taken once
  c.raid_volumes = {v0, v1};
  m.controllers.push_back(c);
  m.drives = {disk(5, "VOL-B", 8), disk(4, "VOL-A", 8)};
  for (drive_info& d : m.drives) d.parent_instance_id = L"pci\\raid";
  captured_log log;
  build_stack(m, log.target);
  ASSERT_EQ(m.stack.size(), 2u);
  EXPECT_EQ(m.stack[0].drive->device_number, 4u);
  EXPECT_EQ(m.stack[0].raid, &m.controllers[0].raid_volumes[0]);
  EXPECT_EQ(m.stack[1].raid, &m.controllers[0].raid_volumes[1]);
  ASSERT_EQ(m.stack[1].members.size(), 2u);
  EXPECT_EQ(m.stack[1].members[0]->serial, "P2");
  EXPECT_EQ(m.stack[1].members[1]->serial, "P3");
  EXPECT_NE(log.text().find("2     RAID volume                  #1\n"
                            "2      1. [P2]\n"
                            "2      2. [P3]\n"),
            std::string::npos)
      << log.text();
}

TEST(build_stack, ciss_volume_found_by_device_identifier) {
  storage_stack m;
  controller_info c = controller(L"pci\\ciss", controller_protocol::ciss);
  c.phys = {phy(7, "M1")};
  raid_volume v;
  v.number = 3;
  v.unique_id = "600508B1001C";
  v.drives = {7};
  c.raid_volumes = {v};
  m.controllers.push_back(c);
  m.drives = {disk(0, "", 8)};
  m.drives[0].parent_instance_id = L"pci\\ciss";
  m.drives[0].device_ids = {"no", "600508B1001C"};
  build_stack(m, nullptr);
  ASSERT_EQ(m.stack.size(), 1u);
  EXPECT_EQ(m.stack[0].raid, &m.controllers[0].raid_volumes[0]);
  EXPECT_EQ(m.stack[0].members.size(), 1u);
}

TEST(build_stack, phy_matched_twice_and_clones) {
  storage_stack m;
  controller_info c = controller(L"pci\\c", controller_protocol::csmi);
  c.phys = {phy(0, "SAME"), phy(1, "LEFT")};
  c.phys[0].has_smart = true;
  c.phys[0].smart.attributes[2] = 9;
  m.controllers.push_back(c);
  m.drives = {disk(0, "SAME"), disk(1, "SAME")};
  for (drive_info& d : m.drives) d.parent_instance_id = L"pci\\c";
  captured_log log;
  build_stack(m, log.target);
  ASSERT_EQ(m.stack.size(), 3u);
  EXPECT_EQ(m.stack[0].members[0], &m.controllers[0].phys[0]);
  EXPECT_EQ(m.stack[1].members[0], &m.controllers[0].phys[0]);
  EXPECT_EQ(m.stack[2].drive, nullptr);  // the unmatched phy comes last
  EXPECT_EQ(m.stack[2].members[0]->serial, "LEFT");
  EXPECT_EQ(m.drives[0].smart_source, uint32_t(source_ctrl));
  EXPECT_EQ(m.drives[0].smart.attributes[2], 9);
  const std::string t = log.text();
  EXPECT_NE(t.find("2     Matched to                   0 via serial\n2     Cloned SMART data from PHY info\n"),
            std::string::npos);
  EXPECT_NE(t.find("0     WTH #1\n"), std::string::npos) << t;
}

TEST(build_stack, health_raw_becomes_the_smart_attributes) {
  storage_stack m;
  m.drives = {disk(0, "S")};
  m.drives[0].has_health_raw = true;
  m.drives[0].health_raw[0] = 0x10;
  captured_log log;
  build_stack(m, log.target);
  EXPECT_EQ(m.drives[0].smart_source, uint32_t(source_os));
  EXPECT_EQ(m.drives[0].smart.attributes[0], 0x10);
  EXPECT_NE(log.text().find("2     Cloned SMART attributes from HealthRaw data\n"), std::string::npos);
}

TEST(build_stack, volumes_are_ordered_placed_and_linked) {
  storage_stack m;
  m.drives = {disk(0, "A"), disk(1, "B")};
  m.drives[0].partitions = {partition(2, 101 * 1048576ull, 50 * gib), partition(1, 1048576, 100 * 1048576ull)};
  m.drives[1].partitions = {partition(1, 1048576, 99 * gib)};
  m.volumes = {volume(L"\\\\?\\Volume{c}\\", {}),  // no extents: last
               volume(L"\\\\?\\Volume{b}\\", {extent(1, 1048576, 10 * gib), extent(0, 101 * 1048576ull, 50 * gib)}),
               volume(L"\\\\?\\Volume{a}\\", {extent(0, 1048576, 100 * 1048576ull)}),
               volume(L"\\\\?\\Volume{w}\\", {extent(1, 0, 100 * gib)}),  // the whole disk: no partition holds it
               volume(L"\\\\?\\Volume{0}\\", {})};
  build_stack(m, nullptr);
  ASSERT_EQ(m.volumes.size(), 5u);
  EXPECT_EQ(m.volumes[0].volume_name, L"\\\\?\\Volume{a}\\");
  EXPECT_EQ(m.volumes[1].volume_name, L"\\\\?\\Volume{w}\\");
  EXPECT_EQ(m.volumes[2].volume_name, L"\\\\?\\Volume{b}\\");
  EXPECT_EQ(m.volumes[3].volume_name, L"\\\\?\\Volume{0}\\");
  EXPECT_EQ(m.volumes[4].volume_name, L"\\\\?\\Volume{c}\\");

  const volume_info& whole = m.volumes[1];
  EXPECT_EQ(whole.extents[0].flags & extent_outside_partitions, extent_outside_partitions);
  EXPECT_EQ(whole.extents[0].link, -1);
  EXPECT_EQ(whole.link, -1);

  // Three links: a's extent, then b's two; b ends with its last.
  ASSERT_EQ(m.volume_links.size(), 3u);
  const volume_info& b = m.volumes[2];
  EXPECT_EQ(b.link, 2);
  EXPECT_EQ(b.extents[0].link, 1);
  EXPECT_EQ(b.extents[1].link, 2);
  const volume_link& l = m.volume_links[2];
  EXPECT_EQ(l.drive, 0);
  EXPECT_EQ(l.volume, 2);
  EXPECT_EQ(l.extent, 1);
  const drive_partition& p = m.drives[0].partitions[size_t(l.partition)];
  EXPECT_EQ(p.offset, 101 * 1048576ull);
  EXPECT_EQ(p.slices[size_t(l.slice)].link, 2);
  // Partitions come out ordered, gaps filled; no gap record is linked.
  for (const drive_info& d : m.drives)
    for (const drive_partition& part : d.partitions)
      for (const partition_slice& s : part.slices) {
        if (part.gap) {
          EXPECT_EQ(s.link, -1);
        }
      }
}

TEST(build_stack, vds_extents_are_sorted_unless_spanned) {
  storage_stack m;
  m.drives = {disk(0, "A"), disk(1, "B")};
  m.drives[0].partitions = {partition(1, 1048576, 10 * gib)};
  m.drives[1].partitions = {partition(1, 1048576, 10 * gib)};
  volume_info striped = volume(L"\\\\?\\Volume{s}\\", {extent(1, 1048576, gib), extent(0, 1048576, gib)});
  striped.vds_matched = true;
  striped.vds_volume_type = 12;
  volume_info spanned = volume(L"\\\\?\\Volume{t}\\", {extent(1, 1048576 + gib, gib), extent(0, 1048576 + gib, gib)});
  spanned.vds_matched = true;
  spanned.vds_volume_type = 11;
  m.volumes = {striped, spanned};
  build_stack(m, nullptr);
  EXPECT_EQ(m.volumes[0].extents[0].disk_number, 0u);
  EXPECT_EQ(m.volumes[1].volume_name, L"\\\\?\\Volume{t}\\");
  EXPECT_EQ(m.volumes[1].extents[0].disk_number, 1u);
}
