#pragma once

#include <string>
#include <vector>

#include "storage/device_api.h"
#include "storage/device_query.h"
#include "storage/storage_model.h"
#include "support/logger.h"

// GUID_DEVINTERFACE_DISK
extern const GUID disk_interface_class;

bool enumerate_drives(device_api& api, std::vector<drive_info>& drives, indenting_logger* log);
// The per-drive queries; the drive keeps what answered.
bool query_drive(device_api& api, drive_info& drive, const scan_options& options, indenting_logger* log);
// Opens the drive's device path with the strongest access that works; 0 when none.
api_handle open_drive(device_query& query, drive_info& drive, bool report);
// A string of a storage descriptor at `offset`; empty when absent or not printable ASCII.
std::string descriptor_string(const uint8_t* reply, size_t size, size_t offset, bool trim);
// Partitions by offset with the gaps filled; each partition's slices the same way.
void normalize_partitions(drive_info& drive);
