#include "storage/drive_health.h"

#include <cstring>

#include "storage/ata_blocks.h"
#include "storage/ata_health.h"
#include "storage/ata_pass_through.h"
#include "storage/ata_requests.h"
#include "support/hex_dump.h"

void predict_failure(device_query& query, api_handle h, drive_info& drive, const scan_options& options) {
  predict_failure_reply reply{};
  DWORD returned = 0;
  drive.prediction = 0;
  if (!query.ioctl(h, ioctl_storage_predict_failure, "IOCTL_STORAGE_PREDICT_FAILURE", nullptr, 0, &reply, sizeof reply,
                   returned) ||
      !query.check_response_size(returned, sizeof reply, sizeof reply))
    return;
  drive.prediction = reply.predict_failure ? 3 : 1;
  indenting_logger* log = query.log();
  log->indent(2);
  log->log(2, "PredictFailure             %lu\n", (unsigned long)reply.predict_failure);
  log->log(2, "VendorSpecific:\n");
  hex_dump(log, reply.vendor_specific, sizeof reply.vendor_specific);
  log->log(2, "Checking vendor-specific data...\n");
  log->unindent(2);
  ata_block block;
  std::memcpy(block.data(), reply.vendor_specific, block.size());
  api_error_cb* errors = query.errors();
  if (!not_all_zeroes(block, errors)) return;
  if (!verify_checksum(block, false, errors) && options.strict_checksums) return;
  log->log_indented(2, 2, "Checksum is OK\n");
  if (!smart_plausible(block, log)) return;
  for (size_t i = 0; i < smart_entries; ++i) {
    const smart_attribute a = attribute_entry(block, i);
    if (a.id == 0 || a.raw == 0) continue;
    log->log_indented(2, 2, "Looks like a valid attribute set\n");
    drive.health_raw = block;
    drive.has_health_raw = true;
    return;
  }
  log->log_indented(2, 2, "All raw values are null\n");
}

void ata_identify(device_query& query, api_handle h, drive_info& drive, const scan_options& options) {
  const size_t timing = query.begin_timing("** ATA_IDENTIFY");
  bool have = drive.identify_source != 0;
  for (int path = 0; path < ata_path_count; ++path) {
    pass_through_channel channel(query, h, path, options.timeout);
    if (take_identify(channel, query.errors(), query.log(), drive.identify, have))
      drive.identify_source |= ata_path_source(path);
  }
  query.end_timing(timing);
}

void smart_read(device_query& query, api_handle h, drive_info& drive, const scan_options& options) {
  const size_t timing = query.begin_timing("** SMART_GET_ATTRIBUTES/THRESHOLDS");
  bool have = drive.smart_source != 0;
  for (int path = 0; path < ata_path_count; ++path) {
    pass_through_channel channel(query, h, path, options.timeout);
    if (take_smart(channel, options, query.errors(), query.log(), drive.smart, have))
      drive.smart_source |= ata_path_source(path);
  }
  query.end_timing(timing);
}
