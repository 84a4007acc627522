#include <cstring>

#include "storage/drive_ioctls.h"
#include "storage/drive_steps.h"
#include "storage/drives.h"
#include "support/hex_dump.h"
#include "support/hex_text.h"
#include "support/text.h"

namespace {
std::string guid_text(const GUID& g) { return guid_to_text(reinterpret_cast<const uint8_t*>(&g), true); }

drive_partition partition_of(const partition_entry& p) {
  drive_partition d;
  d.number = p.partition_number;
  d.length = uint64_t(p.partition_length);
  d.offset = uint64_t(p.starting_offset);
  d.style = p.partition_style;
  if (p.partition_style == PARTITION_STYLE_MBR) {
    d.mbr_type = p.mbr.partition_type;
    d.boot = p.mbr.boot_indicator != 0;
    d.hidden_sectors = p.mbr.hidden_sectors;
  } else if (p.partition_style == PARTITION_STYLE_GPT) {
    d.gpt_type = p.gpt.partition_type;
    d.gpt_id = p.gpt.partition_id;
    d.gpt_attributes = p.gpt.attributes;
    d.gpt_name = wide_until_nul(p.gpt.name, 36);
  }
  return d;
}

void log_layout_header(indenting_logger* log, DWORD returned, const drive_layout_header& l) {
  log->log(2, "[%u bytes]\n", unsigned(returned));
  log->log(2, "PartitionStyle             %u\n", unsigned(l.partition_style));
  log->log(2, "PartitionCount             %u\n", unsigned(l.partition_count));
  if (l.partition_style == PARTITION_STYLE_MBR) {
    log->log(2, "Mbr.Signature              %u\n", unsigned(l.mbr.signature));
  } else if (l.partition_style == PARTITION_STYLE_GPT) {
    log->log(2, "Gpt.DiskId                 %s\n", guid_text(l.gpt.disk_id).c_str());
    log->log(2, "Gpt.StartingUsableOffset   %I64u\n", (unsigned long long)l.gpt.starting_usable_offset);
    log->log(2, "Gpt.UsableLength           %I64u\n", (unsigned long long)l.gpt.usable_length);
    log->log(2, "Gpt.MaxPartitionCount      %lu\n", (unsigned long)l.gpt.max_partition_count);
  }
}

void log_partition(indenting_logger* log, size_t number, const partition_entry& p) {
  log->log(2, "%2zu. PartitionNumber        %u\n", number, unsigned(p.partition_number));
  log->indent(4);
  log->log(2, "PartitionLength        %I64u\n", (unsigned long long)p.partition_length);
  log->log(2, "StartingOffset         %I64u\n", (unsigned long long)p.starting_offset);
  log->log(2, "PartitionStyle         %u\n", unsigned(p.partition_style));
  if (p.partition_style == PARTITION_STYLE_MBR) {
    log->log(2, "Mbr.PartitionType      0x%02x\n", unsigned(p.mbr.partition_type));
    log->log(2, "Mbr.BootIndicator      %u\n", unsigned(p.mbr.boot_indicator));
    log->log(2, "Mbr.RecognizedPart.    %u\n", unsigned(p.mbr.recognized_partition));
    log->log(2, "Mbr.HiddenSectors      %u\n", unsigned(p.mbr.hidden_sectors));
  } else if (p.partition_style == PARTITION_STYLE_GPT) {
    log->log(2, "Gpt.PartitionType      %s\n", guid_text(p.gpt.partition_type).c_str());
    log->log(2, "Gpt.PartitionId        %s\n", guid_text(p.gpt.partition_id).c_str());
    log->log(2, "Gpt.Attributes         %016I64x\n", (unsigned long long)p.gpt.attributes);
    log->log(2, "Gpt.Name               [%s]\n", to_utf8(wide_until_nul(p.gpt.name, 36)).c_str());
  }
  log->unindent(4);
}
}  // namespace

void query_geometry(device_query& query, api_handle h, drive_info& drive) {
  drive.has_geometry = false;
  const uint8_t* reply = query.buffer();
  DWORD returned = 0;
  if (!query.ioctl(h, IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, "IOCTL_DISK_GET_DRIVE_GEOMETRY_EX", nullptr, 0, returned) ||
      !query.check_response_size(returned, sizeof(disk_geometry_ex_header), query_buffer_size))
    return;
  disk_geometry_ex_header g;
  std::memcpy(&g, reply, sizeof g);
  drive.has_geometry = true;
  drive.capacity = uint64_t(g.disk_size);
  drive.cylinders = uint64_t(g.cylinders);
  drive.tracks_per_cylinder = g.tracks_per_cylinder;
  drive.sectors_per_track = g.sectors_per_track;
  drive.bytes_per_sector = g.bytes_per_sector;
  indenting_logger* log = query.log();
  log->indent(2);
  log->log(2, "[%u bytes]\n", unsigned(returned));
  log->log(2, "Geometry.Cylinders         %I64u\n", (unsigned long long)g.cylinders);
  log->log(2, "Geometry.MediaType         %u\n", unsigned(g.media_type));
  log->log(2, "Geometry.TracksPerCylinder %u\n", unsigned(g.tracks_per_cylinder));
  log->log(2, "Geometry.SectorsPerTrack   %u\n", unsigned(g.sectors_per_track));
  log->log(2, "Geometry.BytesPerSector    %u\n", unsigned(g.bytes_per_sector));
  log->log(2, "DiskSize                   %I64u\n", (unsigned long long)g.disk_size);
  if (returned < 40) {
    log->log(2, "Data                       <none>\n");
  } else {
    log->log(2, "Data:\n");
    hex_dump(log, reply + sizeof g, returned - 39);
  }
  log->unindent(2);
}

void query_layout(device_query& query, api_handle h, drive_info& drive) {
  drive.partitions.clear();
  drive.layout_style = 0;
  const uint8_t* reply = query.buffer();
  DWORD returned = 0;
  if (!query.ioctl(h, IOCTL_DISK_GET_DRIVE_LAYOUT_EX, "IOCTL_DISK_GET_DRIVE_LAYOUT_EX", nullptr, 0, returned) ||
      !query.check_response_spec(reply, returned, drive_layout_spec))
    return;
  drive_layout_header l{};
  std::memcpy(&l, reply, returned < sizeof l ? returned : sizeof l);
  drive.layout_style = l.partition_style + 1;
  indenting_logger* log = query.log();
  log->indent(2);
  log_layout_header(log, returned, l);
  log->log(2, "PartitionEntries:\n");
  for (size_t i = 0; i < l.partition_count; ++i) {
    partition_entry p;
    std::memcpy(&p, reply + sizeof l + i * sizeof p, sizeof p);
    log_partition(log, i + 1, p);
    // An MBR lists its empty slots too.
    if (l.partition_style == PARTITION_STYLE_MBR && p.mbr.partition_type == 0) continue;
    drive.partitions.push_back(partition_of(p));
  }
  log->unindent(2);
}
