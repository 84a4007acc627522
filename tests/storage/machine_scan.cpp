#include "machine_scan.h"

#include <gtest/gtest.h>

#include "captured_log.h"
#include "recorded_machine.h"
#include "storage/location_link.h"
#include "storage/scan_replay.h"
#include "storage/storage_scan.h"
#include "support/format_string.h"
#include "support/text.h"

scanned scan_machine(device_api& api, vds_api& vds, bool strict, scan_replay* replay) {
  capturing_logger* log = new capturing_logger;
  log->set_keep_prefix(true);
  log->add_ref();
  if (replay) replay->set_logger(log);
  storage_scan* scan = new storage_scan(api, vds);
  scan->set_logger(log);
  scan->timeout = 10;
  scan->strict_checksums = strict;
  scanned result;
  EXPECT_TRUE(scan->start());
  scan->wait();
  result.model = std::move(scan->model);
  scan->release();
  if (replay) replay->set_logger(nullptr);
  result.log = joined_lines(log);
  log->release();
  return result;
}

scanned scan_recorded(const std::string& name) { return scan_recorded(recorded_machine(name), name); }

scanned scan_recorded(scan_recording recording, const std::string& name) {
  scan_replay replay(std::move(recording));
  scanned result = scan_machine(replay, replay);
  EXPECT_TRUE(replay.missing().empty()) << name;
  EXPECT_EQ(replay.open_handles(), 0u) << name;
  EXPECT_EQ(replay.vds_objects, 0) << name;
  return result;
}

std::string stack_dump(const scanned& s) {
  const size_t at = s.log.find("2 Storage stack:\n");
  return at == std::string::npos ? std::string() : s.log.substr(at);
}

std::string model_facts(const scanned& s) {
  const storage_stack& m = *s.model;
  std::string text = "Roots";
  for (const std::wstring& root : location_roots(m)) text += " " + to_utf8(root);
  text += "\n";
  for (const drive_info& d : m.drives) {
    text += format_string("Drive %u [%s] usb %u %u %u, parent %04x:%04x\n", unsigned(d.device_number), d.serial.c_str(),
                          unsigned(d.usb_supported), unsigned(d.usb_capable), unsigned(d.usb_speed),
                          unsigned(d.parent_vendor_id), unsigned(d.parent_product_id));
    for (const drive_partition& p : d.partitions)
      text += format_string("  %s %I64u +%I64u\n", p.gap ? "gap" : std::to_string(p.number).c_str(),
                            (unsigned long long)p.offset, (unsigned long long)p.length);
  }
  for (const controller_info& c : m.controllers) {
    text += format_string("Controller %s, %zu RAID volumes, phys",
                          c.protocol == controller_protocol::csmi ? "CSMI" : "CISS", c.raid_volumes.size());
    for (const phy_drive& p : c.phys) text += " " + p.address;
    text += "\n";
  }
  for (const stack_entry& e : m.stack)
    text += format_string("Stack %s%s, %zu members\n", e.drive ? "drive" : "inaccessible", e.raid ? " RAID" : "",
                          e.members.size());
  for (const volume_link& l : m.volume_links)
    text += format_string("Link volume %d extent %d: drive %d partition %d slice %d\n", l.volume, l.extent, l.drive,
                          l.partition, l.slice);
  for (size_t i = 0; i < m.volumes.size(); ++i) {
    const location_summary summary = show_local_location(m, i, L"Windows 10");
    const volume_info& v = m.volumes[i];
    text += format_string("Volume %zu [%s] length %I64d, %zu extents, RAM disk %d, locked %d, VDS type %d\n", i,
                          to_utf8(v.volume_name).c_str(), (long long)v.length, v.extents.size(), int(v.is_ram_disk),
                          int(v.is_locked), v.vds_matched ? int(v.vds_volume_type) : -1);
    for (const volume_extent& e : v.extents)
      text += format_string("  extent disk %d offset %I64u +%I64u member %u\n", int(e.disk_number),
                            (unsigned long long)e.offset, (unsigned long long)e.length, unsigned(e.member_index));
    text += "  file_system=" + to_utf8(summary.file_system) + "\n  volume=" + to_utf8(summary.volume) +
            "\n  device=" + to_utf8(summary.device) + "\n  controller=" + to_utf8(summary.controller) + "\n";
    if (summary.selected_drive) text += "  drive=[" + summary.selected_drive->serial + "]\n";
    const device_link link = location_link(summary);
    text += format_string("  link=%s %.0f\n", link.name.c_str(), link.bytes_per_second);
    for (const report_entry& e : summary.storage_facts) text += "  " + e.key + "=" + e.value + "\n";
  }
  return text;
}
