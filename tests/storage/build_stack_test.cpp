#include <gtest/gtest.h>

#include "captured_log.h"

#include <string>
#include <vector>

#include "golden.h"
#include "storage/storage_scan.h"
#include "support/format_string.h"
#include "support/text.h"

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

// The stack built from the model: its log, then the entries, drives' SMART sources, partitions
// with their slices, volumes in order with their extents, and the links, compared with
// tests/data/storage/build_stack/NAME.txt.
void expect_stack(storage_stack& m, const std::string& name) {
  captured_log log;
  build_stack(m, log.target);
  std::string t = log.text() + "--\n";
  for (const stack_entry& e : m.stack) {
    t += e.drive ? "entry drive " + std::to_string(e.drive->device_number) : std::string("entry inaccessible");
    t += e.controller ? ", controller " + std::to_string(e.controller - m.controllers.data()) : "";
    t += e.raid ? ", array " + std::to_string(e.raid->number) : "";
    for (const phy_drive* p : e.members) t += " [" + p->serial + "]";
    t += "\n";
  }
  for (const drive_info& d : m.drives) {
    t += format_string("drive %u smart %x %02x %02x %02x\n", d.device_number, d.smart_source, d.smart.attributes[0],
                       d.smart.attributes[1], d.smart.attributes[2]);
    for (const drive_partition& p : d.partitions) {
      t += format_string("  %s %I64u +%I64u links", p.gap ? "gap" : std::to_string(p.number).c_str(), p.offset,
                         p.length);
      for (const partition_slice& sl : p.slices) t += " " + std::to_string(sl.link);
      t += "\n";
    }
  }
  for (const volume_info& v : m.volumes) {
    t += "volume " + to_utf8(v.volume_name) + " link " + std::to_string(v.link) + "\n";
    for (const volume_extent& e : v.extents)
      t += format_string("  extent disk %d %I64u +%I64u flags %u link %d\n", int(e.disk_number), e.offset, e.length,
                         e.flags, e.link);
  }
  for (const volume_link& l : m.volume_links)
    t += format_string("link drive %d partition %d slice %d volume %d extent %d\n", l.drive, l.partition, l.slice,
                       l.volume, l.extent);
  expect_golden(t, "storage/build_stack/" + name + ".txt");
}

}  // namespace

TEST(build_stack, drives_without_controllers_are_plain_entries) {
  storage_stack m;
  m.drives = {disk(1, "B"), disk(0, "A")};
  expect_stack(m, "drives_without_controllers_are_plain_entries");
}

TEST(build_stack, csmi_drive_missing_from_the_phy_list) {
  storage_stack m;
  m.controllers.push_back(controller(L"pci\\ven_8086&dev_2822\\3&1", controller_protocol::csmi));
  m.controllers[0].phys = {phy(0, "OTHER")};
  m.drives = {disk(0, "MINE")};
  m.drives[0].parent_instance_id = L"pci\\ven_8086&dev_2822\\3&1";
  m.drives[0].identify_source = source_ata;
  expect_stack(m, "csmi_drive_missing_from_the_phy_list");
}

TEST(build_stack, no_serial_on_either_side_is_no_match) {
  storage_stack m;
  m.controllers.push_back(controller(L"pci\\sas", controller_protocol::csmi));
  m.controllers[0].phys = {phy(0, "")};
  m.drives = {disk(0, "", 10)};
  m.drives[0].parent_instance_id = L"pci\\sas";
  expect_stack(m, "no_serial_on_either_side_is_no_match");
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
  expect_stack(m, "raid_bus_drives_take_the_csmi_sets_in_order");
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
  expect_stack(m, "phy_matched_twice_and_clones");
}

TEST(build_stack, health_raw_becomes_the_smart_attributes) {
  storage_stack m;
  m.drives = {disk(0, "S")};
  m.drives[0].has_health_raw = true;
  m.drives[0].health_raw[0] = 0x10;
  expect_stack(m, "health_raw_becomes_the_smart_attributes");
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
  expect_stack(m, "volumes_are_ordered_placed_and_linked");
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
  expect_stack(m, "vds_extents_are_sorted_unless_spanned");
}
