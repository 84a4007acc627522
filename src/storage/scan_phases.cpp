#include <algorithm>

#include "storage/controllers.h"
#include "storage/drives.h"
#include "storage/storage_scan.h"
#include "storage/volumes.h"
#include "support/text.h"

namespace {
bool go_on(storage_scan_cb* cb, indenting_logger* log) {
  if (!cb || cb->keep_going()) return true;
  log->log(2, "Cancelled\n");
  return false;
}
}  // namespace

bool scan_drives(device_api& api, std::vector<drive_info>& drives, const scan_options& options, indenting_logger* log,
                 storage_scan_cb* cb) {
  log->log(2, "Enumerating storage devices...\n");
  drives.clear();
  enumerate_drives(api, drives, log);
  if (drives.empty()) {
    log->log_indented(2, 2, "None found\n");
    return true;
  }
  std::stable_sort(drives.begin(), drives.end(),
                   [](const drive_info& a, const drive_info& b) { return a.device_number < b.device_number; });
  if (!go_on(cb, log)) return false;
  log->log(2, "---\n");
  log->log(2, "Querying device details...\n");
  const size_t count = drives.size();
  size_t at = 0;
  for (size_t number = 1; number <= count; ++number) {
    drive_info& drive = drives[at];
    log->log(2, "%2zu. %s\n", number, to_utf8(drive.device_path).c_str());
    log->indent(4);
    query_drive(api, drive, options, log);
    if (!drive.has_geometry && drive.layout_style == 0) {
      log->log(2, "** No geometry or partition information -- ignored\n");
      drives.erase(drives.begin() + std::ptrdiff_t(at));
    } else {
      ++at;
    }
    log->unindent(4);
    if (!go_on(cb, log)) return false;
  }
  return true;
}

bool scan_volumes(device_api& api, std::vector<volume_info>& volumes, indenting_logger* log, storage_scan_cb* cb) {
  volumes.clear();
  enumerate_volumes(api, volumes, log);
  if (!go_on(cb, log)) return false;
  if (volumes.empty()) {
    log->log_indented(2, 2, "None found\n");
    return true;
  }
  log->log(2, "---\n");
  log->log(2, "Querying volume details...\n");
  const size_t count = volumes.size();
  size_t at = 0;
  for (size_t number = 1; number <= count; ++number) {
    log->log(2, "%2zu. %s\n", number, to_utf8(volumes[at].volume_name).c_str());
    log->indent(4);
    if (query_volume(api, volumes[at], log)) {
      ++at;
    } else {
      log->log(2, "Discarded\n");
      volumes.erase(volumes.begin() + std::ptrdiff_t(at));
    }
    log->unindent(4);
    if (!go_on(cb, log)) return false;
  }
  return true;
}

bool scan_controllers(device_api& api, std::vector<controller_info>& controllers, const scan_options& options,
                      indenting_logger* log, storage_scan_cb* cb) {
  std::vector<controller_info> adapters;
  enumerate_adapters(api, adapters, log);
  if (adapters.empty()) {
    log->log_indented(2, 2, "None found\n");
    return true;
  }
  log->log(2, "---\n");
  log->log(2, "Querying controller details...\n");
  for (size_t i = 0; i < adapters.size(); ++i) {
    log->log(2, "%2zu. %s\n", i + 1, to_utf8(adapters[i].interface_path).c_str());
    log->indent(4);
    if (query_controller(api, adapters[i], options, log)) controllers.push_back(std::move(adapters[i]));
    log->unindent(4);
    if (!go_on(cb, log)) return false;
  }
  return true;
}
