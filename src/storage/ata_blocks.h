#pragma once

#include <cstdint>

#include "storage/ata_command.h"
#include "support/api_error.h"
#include "support/logger.h"

// Checks a block must pass before it is believed. Each reports its own name on failure.

// "NotAllZeroes", code 1.
bool not_all_zeroes(const ata_block& block, api_error_cb* errors);
bool not_all_zeroes(const uint8_t* bytes, size_t size, api_error_cb* errors);
// "VerifyChecksum", code the byte sum. An IDENTIFY block carries its checksum only behind the
// signature A5 in byte 510, so `signed_only` skips blocks without it; SMART data always has one.
bool verify_checksum(const ata_block& block, bool signed_only, api_error_cb* errors);
// "CheckAtaStrings": model, serial and firmware hold only printable ASCII (or NUL).
bool check_ata_strings(const ata_block& identify, api_error_cb* errors);

// SMART attribute and threshold data: a 16-bit revision, then 30 entries of 12 bytes.
constexpr size_t smart_entries = 30;
constexpr size_t smart_entry_size = 12;
constexpr size_t smart_entries_offset = 2;

struct smart_attribute {
  uint8_t id;
  uint16_t flags;
  uint8_t value;
  uint8_t worst;
  uint64_t raw;  // 48 bits
};
smart_attribute attribute_entry(const ata_block& attributes, size_t index);
// The threshold of `id`, or -1 when the threshold data has no entry for it.
int threshold_of(const ata_block& thresholds, uint8_t id);
uint16_t smart_revision(const ata_block& block);

// Whether the entries look like an attribute set; the broken rule is logged (indented 2).
bool smart_plausible(const ata_block& attributes, indenting_logger* log);
// Same revision, and every entry the same ID and flags (values move between reads).
bool same_attribute_layout(const ata_block& a, const ata_block& b);
