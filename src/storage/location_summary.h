#pragma once

#include <string>
#include <vector>

#include "storage/storage_model.h"
#include "support/report_entry.h"
#include "storage/location_api.h"

// What lies under a test location: the five summary lines of the main window and the facts the
// test report copies.
struct location_summary {
  std::wstring file_system, volume, device, controller, host_os;
  report_entries storage_facts;
  const volume_info* selected_volume = nullptr;
  const drive_info* selected_drive = nullptr;
};

// Classifies the location and shows the local volume, the network share or the fallback.
location_summary refresh_summary(location_api& api, const storage_stack* model, const std::wstring& location);
location_summary show_local_location(const storage_stack& model, size_t volume_index, const std::wstring& os_name);
location_summary show_network_location(const std::wstring& file_system, uint32_t serial, const share_info& share);
location_summary fallback_summary(const std::wstring& file_system);

// "A:\" to "Z:\" for every letter some scanned volume is mounted at.
std::vector<std::wstring> location_roots(const storage_stack& model);
