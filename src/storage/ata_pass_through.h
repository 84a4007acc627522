#pragma once

#include <cstdint>

#include "storage/ata_command.h"
#include "storage/device_query.h"
#include "storage/storage_model.h"

// The four ways Windows offers to send an ATA command to a disk, in the order they are tried.
enum ata_path : int {
  path_smart_ioctl = 0,              // SMART_RCV_DRIVE_DATA / SMART_SEND_DRIVE_COMMAND
  path_ata_pass_through = 1,         // IOCTL_ATA_PASS_THROUGH
  path_scsi_pass_through = 2,        // IOCTL_SCSI_PASS_THROUGH, SAT
  path_scsi_pass_through_direct = 3  // IOCTL_SCSI_PASS_THROUGH_DIRECT, SAT
};
constexpr int ata_path_count = 4;
const char* ata_path_name(int path);
// The path's bit in a source mask: ATA, ATA/PT, SCSI/PT, SCSI/PT-DT.
source_mask ata_path_source(int path);

// One command over one path, timed under `timing_name`; failures go to the query's error callback.
// The timeout is in seconds.
bool ata_command(int path, device_query& query, api_handle h, ata_exchange& x, uint32_t timeout,
                 const char* timing_name);

// A path of an opened disk as a channel for the IDENTIFY and SMART steps.
class pass_through_channel final : public ata_channel {
 public:
  pass_through_channel(device_query& query, api_handle h, int path, uint32_t timeout)
      : query_(query), h_(h), path_(path), timeout_(timeout) {}
  const char* name() const override { return ata_path_name(path_); }
  bool send(ata_exchange& x, const char* step) override;

 private:
  device_query& query_;
  api_handle h_;
  int path_;
  uint32_t timeout_;
};
