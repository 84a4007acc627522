#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "storage/device_api.h"
#include "storage/storage_model.h"
#include "support/logger.h"

// GUID_DEVINTERFACE_VOLUME
extern const GUID volume_interface_class;

// Every volume the system knows; with a filter only the one whose interface path equals it.
bool enumerate_volumes(device_api& api, std::vector<volume_info>& volumes, indenting_logger* log,
                       const std::wstring* filter = nullptr);
// The detail queries of one volume; false: discard it.
bool query_volume(device_api& api, volume_info& volume, indenting_logger* log);

// The disk numbers of the extents, each once, ascending, 0xFFFFFFFF skipped; true when any.
bool drive_disk_numbers(const volume_info& volume, std::vector<uint32_t>& numbers);
// Bit n: some volume is mounted at the root of drive letter A + n.
uint32_t volume_letters_mask(const storage_stack& model);
const wchar_t* vds_volume_type_label(uint32_t type);
