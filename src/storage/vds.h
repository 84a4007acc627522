#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "storage/storage_model.h"
#include "storage/vds_api.h"
#include "support/logger.h"

// What the Virtual Disk Service says of the software volumes (simple, spanned, striped, mirrored,
// parity) and where their extents lie, to be matched to the volumes the scan found.

struct vds_extent {
  std::wstring disk_name;  // the VDS disk's name, "\\?\PhysicalDriveN"; empty: a disk VDS no longer sees
  uint64_t size = 0;
  uint64_t offset = 0;
  uint32_t member_index = 0;
};

// One VDS volume: its device name and VDS_VOLUME_PROP without the name.
struct vds_item {
  std::wstring volume_name;
  GUID id{};
  uint32_t type = 0, status = 0, health = 0, transition_state = 0;
  uint64_t size = 0;
  uint32_t flags = 0, recommended_file_system = 0;
  std::vector<vds_extent> extents;
  bool used = false;
};

// Walks the software providers, their packs, disks, volumes and plexes; false when the service
// cannot be reached (the failure is logged).
bool query_vds(vds_api& api, std::vector<vds_item>& items, indenting_logger* log);
// Gives each volume the VDS item whose name ends with its device name, and the extents' members.
void match_vds(std::vector<volume_info>& volumes, std::vector<vds_item>& items, indenting_logger* log);
