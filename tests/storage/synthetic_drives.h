#pragma once

#include <cstdint>

#include "drive_replies.h"
#include "health_replies.h"

// Whole drives for the test machines: what the storage stack reports and how the drive answers
// the health requests.
struct synthetic_drive {
  fake_disk disk;
  fake_health health;
};

synthetic_drive seagate_hdd(uint32_t number);       // all four paths, HealthRaw from failure prediction
synthetic_drive wd_hdd(uint32_t number);            // all four paths
synthetic_drive samsung_mz_ssd(uint32_t number);    // OEM Samsung SATA SSD
synthetic_drive nvme_ssd(uint32_t number);          // inbox NVMe driver: the storage protocol query only
synthetic_drive usb_bridge_hdd(uint32_t number);    // a SAT bridge: SCSI paths only, no registers back
synthetic_drive bad_checksum_hdd(uint32_t number);  // SMART data whose checksum fails on every path

void add_synthetic(fake_machine& machine, const synthetic_drive& drive);
