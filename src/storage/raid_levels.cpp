#include "storage/raid_levels.h"

#include "support/format_string.h"

namespace {
// CSMI_SAS_RAID_TYPE_NONE .. CSMI_SAS_RAID_TYPE_1E, by value.
const uint32_t csmi_levels[] = {raid_level_unknown, 0x00, 0x01, 0x10, 0x05, 0x15, 0x06, 0x50, raid_level_spanned, 0x1E};

// CISS fault tolerance 0 RAID 0, 1 RAID 4, 2 RAID 1 (1+0), 3 RAID 5, 4 RAID 5+1, 5 RAID 6 (ADG),
// 6 RAID 1 (1+0) ADM.
const uint32_t ciss_levels[] = {0x00, 0x04, 0x01, 0x05, 0x51, 0x06, 0x01};

const struct {
  uint32_t level;
  const char* label;
} named_levels[] = {
    {raid_level_spanned, "Spanned"},
    {raid_level_unknown, "RAID ?"},
};
}  // namespace

uint32_t raid_level_of_csmi_type(uint8_t type) {
  return type < sizeof csmi_levels / sizeof csmi_levels[0] ? csmi_levels[type] : raid_level_unknown;
}

uint32_t raid_level_of_ciss_fault_tolerance(uint8_t fault_tolerance, size_t data_drives) {
  if (fault_tolerance >= sizeof ciss_levels / sizeof ciss_levels[0]) return raid_level_unknown;
  const uint32_t level = ciss_levels[fault_tolerance];
  return level == 0x01 && data_drives > 2 ? 0x10 : level;
}

std::string raid_level_label(uint32_t level) {
  for (const auto& n : named_levels)
    if (n.level == level) return n.label;
  return format_string("RAID %X", unsigned(level));
}
