#include <gtest/gtest.h>

#include "captured_log.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "golden.h"
#include "storage/storage_scan.h"
#include "support/format_string.h"
#include "support/text.h"

namespace {
// "100", "1M" or "50G" bytes.
uint64_t bytes(const std::string& text) {
  size_t digits = 0;
  const uint64_t n = std::stoull(text, &digits);
  const char unit = digits < text.size() ? text[digits] : ' ';
  return unit == 'G' ? n << 30 : unit == 'M' ? n << 20 : n;
}

// "0,1,2"
std::vector<uint32_t> numbers(std::string list) {
  std::replace(list.begin(), list.end(), ',', ' ');
  std::istringstream in(list);
  std::vector<uint32_t> out;
  for (uint32_t n; in >> n;) out.push_back(n);
  return out;
}

// The model a case describes, in statements separated by "; ":
//   controller csmi|ciss ID             phy NUMBER SERIAL|- [smart]
//   array NUMBER [level=L] [drives=N,N] [spares=N,N]       (of the last controller)
//   drive NUMBER SERIAL|- [bus=ADAPTER_BUS] [parent] [ata] [health]  (parent: the last controller)
//   partition NUMBER OFFSET LENGTH      (of the last drive)
//   volume NAME [vds=TYPE] [DISK:OFFSET:LENGTH ...]
storage_stack described_model(const std::string& spec) {
  storage_stack m;
  for (size_t from = 0; from < spec.size();) {
    const size_t end = std::min(spec.find("; ", from), spec.size());
    std::istringstream in(spec.substr(from, end - from));
    from = end + 2;
    std::string what, a, b;
    in >> what >> a;
    if (what == "controller") {
      controller_info c;
      in >> b;
      c.protocol = a == "csmi" ? controller_protocol::csmi : controller_protocol::ciss;
      c.instance_id = from_utf8(b);
      c.description = "Intel(R) RAID Controller";
      m.controllers.push_back(c);
      continue;
    }
    if (what == "array") {
      raid_volume v;
      v.number = uint32_t(std::stoul(a));
      while (in >> b) {
        const std::string value = b.substr(b.find('=') + 1);
        if (b[0] == 'l') v.raid_level = uint32_t(std::stoul(value));
        else (b[0] == 'd' ? v.drives : v.spares) = numbers(value);
      }
      m.controllers.back().raid_volumes.push_back(v);
      continue;
    }
    if (what == "volume") {
      volume_info v;
      v.volume_name = from_utf8(a);
      while (in >> b) {
        if (b.compare(0, 4, "vds=") == 0) {
          v.vds_matched = true;
          v.vds_volume_type = uint32_t(std::stoul(b.substr(4)));
          continue;
        }
        std::replace(b.begin(), b.end(), ':', ' ');
        std::istringstream fields(b);
        std::string offset, length;
        volume_extent e;
        fields >> e.disk_number >> offset >> length;
        e.offset = bytes(offset);
        e.length = bytes(length);
        v.extents.push_back(e);
      }
      m.volumes.push_back(v);
      continue;
    }
    const uint32_t number = uint32_t(std::stoul(a));
    in >> b;
    const std::string serial = b == "-" ? "" : b;
    if (what == "partition") {
      drive_partition p;
      p.number = number;
      p.offset = bytes(serial);
      in >> b;
      p.length = bytes(b);
      m.drives.back().partitions.push_back(p);
    } else if (what == "phy") {
      phy_drive p;
      p.number = number;
      p.serial = serial;
      p.model = "ST1000DM003-1ER162";
      p.capacity = 1000204886016ull;
      p.address = "0.0." + a;
      p.has_smart = bool(in >> b);
      p.smart.attributes[2] = p.has_smart ? 9 : 0;
      m.controllers.back().phys.push_back(p);
    } else {
      drive_info d;
      d.device_number = number;
      d.device_path = L"\\\\.\\PhysicalDrive" + from_utf8(a);
      d.serial = serial;
      d.bus_type = d.adapter_bus_type = 11;
      d.has_geometry = true;
      d.capacity = 100ull << 30;
      d.layout_style = 1;
      while (in >> b) {
        if (b.compare(0, 4, "bus=") == 0) d.adapter_bus_type = uint32_t(std::stoul(b.substr(4)));
        if (b == "parent") d.parent_instance_id = m.controllers.back().instance_id;
        if (b == "ata") d.identify_source = source_ata;
        d.has_health_raw = d.has_health_raw || b == "health";
      }
      d.health_raw[0] = d.has_health_raw ? 0x10 : 0;
      if (d.adapter_bus_type == 8) d.bus_type = 8;
      m.drives.push_back(d);
    }
  }
  return m;
}

// The stack built from the model: its log, then the entries, drives' SMART sources, partitions
// with their slices, volumes in order with their extents, and the links, compared with
// each case of tests/data/storage/build_stack.txt.
std::string stack_text(const std::string& spec) {
  storage_stack m = described_model(spec);
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
  return t;
}

}  // namespace

TEST(build_stack, every_case_of_the_file) { expect_cases("storage/build_stack.txt", stack_text); }
