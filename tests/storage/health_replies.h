#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "drive_replies.h"
#include "health_blocks.h"

// How a disk answers the health requests: ATA commands over each pass-through path, failure
// prediction, and the NVMe blocks through the SCSI port's miniport and the storage protocol query.
// Requests are read and replies written at the documented offsets, field by field.

enum class sense_style { descriptor, fixed, none };  // how the SCSI paths return ATA registers

struct fake_health {
  bool has_identify = false;
  ata_block identify{};
  bool has_smart = false;
  ata_block attributes{};
  ata_block thresholds{};
  uint8_t status_high = 0xC2, status_mid = 0x4F;  // SMART RETURN STATUS: good
  // Which paths reach the drive: SMART ioctls, ATA pass-through, SCSI pass-through, direct.
  std::array<bool, 4> paths{{true, true, true, true}};
  // What one path delivers instead of the drive's block (a bridge that garbles it).
  std::map<int, ata_block> identify_on_path, attributes_on_path, thresholds_on_path;
  sense_style sense = sense_style::descriptor;
  int predict_failure = -1;  // -1: the request fails; else the PredictFailure value
  ata_block predict_vendor{};
  bool nvme_protocol = false;  // the disk answers the storage protocol query
  bool nvme_miniport = false;  // its SCSI port answers the NvmeMini pass-through
  std::vector<uint8_t> nvme_identify;
  std::array<uint8_t, 512> nvme_log{};
};

// Installs the health answers on an added disk's device (and its SCSI port for NVMe).
void add_health(fake_machine& machine, const fake_disk& disk, const fake_health& health);
