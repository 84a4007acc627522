#pragma once

#include <string>

#include "storage/storage_model.h"

// The slowest link between a drive and the host that the scan can name, and what it carries at
// most: a result above that rate cannot have come from the device.
struct device_link {
  std::string name;             // "USB 2.0", "SATA 3 Gb/s"; empty when no link is known
  double bytes_per_second = 0;  // 0 when no link is known
};

// From the USB connection speed, and for SATA from IDENTIFY (word 77's negotiated speed, else the
// fastest generation of word 76) or else the bus type. Arrays and storage spaces, which spread
// over several links, and buses that are not USB or SATA give no link.
device_link drive_link(const drive_info& drive);
