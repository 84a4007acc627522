#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The SMART attribute groups: names, value formats and units of attributes for a kind of drive
// and vendor/model patterns. Groups are searched in table order; later ones refine earlier ones.

namespace smart_codes {
// How a row's value is shown.
enum format : uint8_t {
  no_format = 0,
  raw_hex = 1,       // the raw value as 12 hex digits, "-" when 0
  value = 2,         // the current (normalised) value
  value_of_255 = 3,  // the current value scaled from 255 to 100
  raw8 = 4,          // the raw value cut to 8, 16, 24, 32 or 40 bits
  raw16 = 5,
  raw24 = 6,
  raw32 = 7,
  raw40 = 8,
  hi32_lo32 = 9,     // bits 32-47 / bits 0-31
  hi16_lo16 = 10,    // bits 16-31 / bits 0-15
  byte1_byte0 = 11,  // byte 1 . byte 0, when both are at most 100
  yes_no = 12,       // 1 Yes, 0 No
};
// The unit after the value; the size units also give what one raw unit holds.
enum unit : uint8_t {
  no_unit = 0,
  percent = 1,
  celsius = 2,
  ms = 3,
  minutes = 4,
  gb = 5,            // 1 GiB
  mb32 = 6,          // 32 MiB, shown as MB
  mb = 7,            // 1 MiB
  sector_bytes = 8,  // 512 bytes, shown as bytes
  sectors = 9,       // 512 bytes, shown bare
};
// A definition without a name keeps the name an earlier group gave and changes format and unit.
constexpr const char* keeps_name = nullptr;
}  // namespace smart_codes

struct smart_attribute_def {
  uint8_t id;
  smart_codes::format format;
  smart_codes::unit unit;
  const char* name;  // "" undocumented; null keeps the earlier name
};

struct smart_attribute_defs {
  template <size_t n>
  smart_attribute_defs(const smart_attribute_def (&rows)[n]) : rows(rows), count(n) {}
  const smart_attribute_def* rows;
  size_t count;
  const smart_attribute_def* find(uint8_t id) const;
};

enum smart_drive_kind : uint8_t { smart_hdd = 1, smart_ssd = 2 };

struct smart_attribute_group {
  const char* name;
  uint8_t kinds;  // smart_drive_kind bits
  // "vendor|model" patterns, * any run and ? one character, case ignored; empty: every drive.
  std::vector<const char*> patterns;
  // A second list that must match as well; empty: no such condition.
  std::vector<const char*> also;
  smart_attribute_defs defs;
};

extern const smart_attribute_group smart_attribute_groups[];
extern const size_t smart_attribute_group_count;
