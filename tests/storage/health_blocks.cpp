#include "health_blocks.h"

#include <cstring>

#include "fake_machine.h"

namespace {
// ATA strings: blank-padded, each pair of bytes swapped.
void put_ata_text(ata_block& b, size_t offset, size_t length, const std::string& text) {
  std::string padded = text.substr(0, length);
  padded.resize(length, ' ');
  for (size_t i = 0; i < length; i += 2) {
    b[offset + i] = uint8_t(padded[i + 1]);
    b[offset + i + 1] = uint8_t(padded[i]);
  }
}

void put_word(ata_block& b, size_t word, uint16_t value) {
  b[word * 2] = uint8_t(value);
  b[word * 2 + 1] = uint8_t(value >> 8);
}

ata_block from_writer(const reply_writer& w) {
  const std::vector<uint8_t> bytes = w.done();
  ata_block b{};
  std::memcpy(b.data(), bytes.data(), bytes.size() < b.size() ? bytes.size() : b.size());
  return b;
}

void put_plain_text(std::vector<uint8_t>& b, size_t offset, size_t length, const std::string& text) {
  std::string padded = text.substr(0, length);
  padded.resize(length, ' ');
  std::memcpy(b.data() + offset, padded.data(), length);
}
}  // namespace

ata_block identify_block(const identify_fields& f) {
  ata_block b{};
  put_word(b, 0, 0x0040);  // fixed device
  put_ata_text(b, 20, 20, f.serial);
  put_ata_text(b, 46, 8, f.firmware);
  put_ata_text(b, 54, 40, f.model);
  put_word(b, 49, 0x0300);  // LBA and DMA
  const uint64_t lba28 = f.sectors < 0x0FFFFFFF ? f.sectors : 0x0FFFFFFF;
  put_word(b, 60, uint16_t(lba28));
  put_word(b, 61, uint16_t(lba28 >> 16));
  put_word(b, 80, 0x07F0);           // ATA8-ACS and earlier
  put_word(b, 82, 0x746B);           // SMART among the supported features
  put_word(b, 83, 0x7400 | 0x0400);  // 48-bit addresses
  put_word(b, 85, 0x7469);           // SMART enabled
  put_word(b, 86, 0xB400 | 0x0400);
  for (int i = 0; i < 4; ++i) put_word(b, 100 + i, uint16_t(f.sectors >> (16 * i)));
  put_word(b, 169, f.trim ? 1 : 0);
  put_word(b, 217, f.rotation_rate);
  if (f.signed_checksum) {
    b[510] = 0xA5;
    reseal(b);
  }
  return b;
}

ata_block attributes_block(const std::vector<attribute_fields>& entries) {
  reply_writer w;
  w.u16(0x0010);
  for (const attribute_fields& e : entries) {
    w.u8(e.id).u16(e.flags).u8(e.value).u8(e.worst);
    for (int i = 0; i < 6; ++i) w.u8(uint8_t(e.raw >> (8 * i)));
    w.u8(0);
  }
  w.at(362).u8(0x82).u8(0).u16(0x0258);  // offline data collection status, time
  ata_block b = from_writer(w);
  reseal(b);
  return b;
}

ata_block thresholds_block(const std::vector<std::pair<uint8_t, uint8_t>>& entries) {
  reply_writer w;
  w.u16(0x0010);
  for (const auto& e : entries) w.u8(e.first).u8(e.second).zeros(10);
  ata_block b = from_writer(w);
  reseal(b);
  return b;
}

void reseal(ata_block& b) {
  uint8_t sum = 0;
  for (size_t i = 0; i < 511; ++i) sum = uint8_t(sum + b[i]);
  b[511] = uint8_t(0x100 - sum);
}

std::vector<uint8_t> nvme_identify_block(const nvme_identify_fields& f) {
  std::vector<uint8_t> b(4096, 0);
  b[0] = uint8_t(f.vendor_id);
  b[1] = uint8_t(f.vendor_id >> 8);
  b[2] = b[0];
  b[3] = b[1];
  put_plain_text(b, 4, 20, f.serial);
  put_plain_text(b, 24, 40, f.model);
  put_plain_text(b, 64, 8, f.firmware);
  b[77] = 9;  // maximum data transfer size
  return b;
}

std::array<uint8_t, 512> nvme_health_block(const nvme_health_fields& f) {
  reply_writer w;
  w.u8(f.critical_warning).u16(f.temperature).u8(f.spare).u8(f.spare_threshold).u8(f.used).at(32);
  for (const u128& c : f.counters) w.u64(c.low).u64(c.high);
  w.u32(f.warning_minutes).u32(f.critical_minutes).at(512);
  const std::vector<uint8_t> bytes = w.done();
  std::array<uint8_t, 512> b{};
  std::memcpy(b.data(), bytes.data(), b.size());
  return b;
}
