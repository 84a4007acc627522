#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "storage/ata_command.h"

// Drive data blocks built field by field, for cases whose blocks vary per case.

struct attribute_fields {
  uint8_t id;
  uint16_t flags;
  uint8_t value;
  uint8_t worst;
  uint64_t raw;  // 48 bits
};
// SMART READ DATA: revision 0x0010, the entries, and a valid checksum.
ata_block attributes_block(const std::vector<attribute_fields>& entries);
// SMART READ THRESHOLDS: (ID, threshold) entries and a valid checksum.
ata_block thresholds_block(const std::vector<std::pair<uint8_t, uint8_t>>& entries);

struct u128 {
  uint64_t low = 0, high = 0;
};
struct nvme_health_fields {
  uint8_t critical_warning = 0;
  uint16_t temperature = 0;  // kelvin
  uint8_t spare = 100;
  uint8_t spare_threshold = 10;
  uint8_t used = 0;
  // Data read and written, read and write commands, busy time, power cycles, power-on hours,
  // unsafe shutdowns, media errors, error log entries.
  std::array<u128, 10> counters{};
  uint32_t warning_minutes = 0;
  uint32_t critical_minutes = 0;
};
std::array<uint8_t, 512> nvme_health_block(const nvme_health_fields& f);
