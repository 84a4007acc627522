#include "storage/location_link.h"

#include <vector>

#include "storage/volumes.h"

device_link location_link(const location_summary& summary) {
  if (!summary.selected_volume || !summary.selected_drive) return {};
  std::vector<uint32_t> disks;
  if (!drive_disk_numbers(*summary.selected_volume, disks) || disks.size() != 1) return {};
  return drive_link(*summary.selected_drive);
}
