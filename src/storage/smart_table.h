#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "storage/ata_blocks.h"
#include "storage/smart_attribute_groups.h"
#include "storage/storage_model.h"
#include "support/logger.h"

// A drive's SMART block as named rows, and the two health tables of the storage dump.

struct smart_row {
  smart_attribute attribute;
  int threshold = -1;                            // -1: the threshold data has no entry for the ID
  const smart_attribute_group* group = nullptr;  // the last group that defines the ID
  bool defined = false;                          // some group defines the ID
  smart_codes::format format = smart_codes::no_format;
  smart_codes::unit unit = smart_codes::no_unit;
  std::string name;  // "?" undefined, "- undocumented -" defined without a name
  bool prefail = false;
  bool critical = false;     // one of the IDs an attribute set must have (5, 9, 12)
  int threshold_state = -1;  // -1 no threshold, 1 value at or above it, 0 below
  std::string value_text;
};

// The rows of the entries with an ID, named for the drive. `vendor` and `model` are the display
// names; `identify_says_ssd` comes from the drive's IDENTIFY block.
std::vector<smart_row> smart_rows(const smart_block& block, bool identify_says_ssd, const std::string& vendor,
                                  const std::string& model);

// "SMART table" and one line per row.
void dump_smart_table(const std::vector<smart_row>& rows, logger* log);
// "SMART table (NVMe):" and the counters of a 512-byte SMART/health log page.
void dump_nvme_health(const uint8_t* log_page, logger* log);

// A drive's SMART table, or its NVMe health list when it has no SMART block; nothing without both.
void dump_drive_health(const drive_info& drive, const std::string& vendor, const std::string& model, logger* log);

// "*" any run of characters, "?" one; case ignored; the whole text must match.
bool smart_pattern_matches(const char* pattern, const std::string& text);
// Text of a 128-bit little-endian counter: decimal below 2^64, else 32 hex digits and " (raw)".
std::string nvme_counter_text(const uint8_t* counter);
