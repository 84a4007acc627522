#pragma once

#include <cstdint>
#include <string>

// RAID levels as the model keeps them: the level's name in hexadecimal digits, so that the dump's
// "RAID 0x%02x" reads as the level (0x10 is RAID 10, 0x1e RAID 1E).
constexpr uint32_t raid_level_spanned = 0xFE;  // concatenated drives, no redundancy
constexpr uint32_t raid_level_unknown = 0xFF;

// CSMI_SAS_RAID_TYPE_* of a RAID set.
uint32_t raid_level_of_csmi_type(uint8_t type);
// The fault tolerance of a CISS logical drive; mirroring over more than two drives is RAID 10.
uint32_t raid_level_of_ciss_fault_tolerance(uint8_t fault_tolerance, size_t data_drives);
// "RAID 1", "RAID 10", "Spanned", "RAID ?".
std::string raid_level_label(uint32_t level);
