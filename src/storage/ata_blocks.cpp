#include "storage/ata_blocks.h"

#include <set>
#include <string>

#include "storage/drive_identify.h"
#include "storage/little_endian.h"

namespace {
struct text_field {
  size_t offset, length;
};
// Serial, firmware and model of an IDENTIFY block.
constexpr text_field identify_texts[] = {{54, 40}, {20, 20}, {46, 8}};

constexpr uint8_t identify_signature = 0xA5;
constexpr size_t signature_offset = 510;

}  // namespace

bool not_all_zeroes(const uint8_t* bytes, size_t size, api_error_cb* errors) {
  for (size_t i = 0; i < size; ++i)
    if (bytes[i]) return true;
  if (errors) errors->report_api_error("NotAllZeroes", 1);
  return false;
}

bool not_all_zeroes(const ata_block& block, api_error_cb* errors) {
  return not_all_zeroes(block.data(), block.size(), errors);
}

bool verify_checksum(const ata_block& block, bool signed_only, api_error_cb* errors) {
  if (signed_only && block[signature_offset] != identify_signature) return true;
  uint8_t sum = 0;
  for (uint8_t b : block) sum = uint8_t(sum + b);
  if (sum == 0) return true;
  if (errors) errors->report_api_error("VerifyChecksum", sum);
  return false;
}

bool check_ata_strings(const ata_block& identify, api_error_cb* errors) {
  for (const text_field& f : identify_texts) {
    for (unsigned char c : ata_string(identify.data(), f.offset, f.length)) {
      if ((c >= 0x20 && c < 0x80) || c == 0) continue;
      if (errors) errors->report_api_error("CheckAtaStrings", no_error_code, "%lu", (unsigned long)c);
      return false;
    }
  }
  return true;
}

smart_attribute attribute_entry(const ata_block& attributes, size_t index) {
  const uint8_t* e = attributes.data() + smart_entries_offset + index * smart_entry_size;
  uint64_t raw = 0;
  for (int i = 5; i >= 0; --i) raw = raw << 8 | e[5 + i];
  return {e[0], le16(e + 1), e[3], e[4], raw};
}

int threshold_of(const ata_block& thresholds, uint8_t id) {
  for (size_t i = 0; i < smart_entries; ++i) {
    const uint8_t* e = thresholds.data() + smart_entries_offset + i * smart_entry_size;
    if (e[0] == id) return e[1];
  }
  return -1;
}

uint16_t smart_revision(const ata_block& block) { return le16(block.data()); }

bool smart_plausible(const ata_block& attributes, indenting_logger* log) {
  std::set<unsigned> ids;
  for (size_t i = 0; i < smart_entries; ++i) {
    const unsigned id = attribute_entry(attributes, i).id;
    if (id == 0) continue;
    if (!ids.insert(id).second) {
      log->log_indented(2, 2, "Attribute %u is duplicated\n", id);
      return false;
    }
  }
  if (ids.size() < 8) {
    log->log_indented(2, 2, "Too few attributes - %u\n", unsigned(ids.size()));
    return false;
  }
  for (unsigned required : {5u, 9u, 12u}) {
    if (ids.count(required)) continue;
    log->log_indented(2, 2, "Entry %u is not present\n", required);
    return false;
  }
  if (ids.count(255)) {
    log->log_indented(2, 2, "Entry 255 is present\n");
    return false;
  }
  // Real attribute sets keep clear of this range; a shifted or foreign block lands in it.
  unsigned odd = 0;
  for (unsigned id : ids) odd += (id >= 17 && id <= 98) || (id >= 102 && id <= 159);
  if (odd >= 2) {
    log->log_indented(2, 2, "%u entries from 17-159 range are present\n", odd);
    return false;
  }
  return true;
}

bool same_attribute_layout(const ata_block& a, const ata_block& b) {
  if (smart_revision(a) != smart_revision(b)) return false;
  for (size_t i = 0; i < smart_entries; ++i) {
    const smart_attribute x = attribute_entry(a, i), y = attribute_entry(b, i);
    if (x.id != y.id || x.flags != y.flags) return false;
  }
  return true;
}
