#include "health_blocks.h"

namespace {
// A little-endian field of `size` bytes at `offset`.
void put(uint8_t* b, size_t offset, uint64_t value, size_t size) {
  for (size_t i = 0; i < size; ++i) b[offset + i] = uint8_t(value >> (8 * i));
}

// Byte 511 the checksum of the block.
void reseal(ata_block& b) {
  uint8_t sum = 0;
  for (size_t i = 0; i < 511; ++i) sum = uint8_t(sum + b[i]);
  b[511] = uint8_t(0x100 - sum);
}
}  // namespace

ata_block attributes_block(const std::vector<attribute_fields>& entries) {
  ata_block b{};
  put(b.data(), 0, 0x0010, 2);
  for (size_t i = 0; i < entries.size(); ++i) {
    const attribute_fields& e = entries[i];
    uint8_t* at = b.data() + 2 + 12 * i;
    at[0] = e.id;
    put(at, 1, e.flags, 2);
    at[3] = e.value;
    at[4] = e.worst;
    put(at, 5, e.raw, 6);
  }
  b[362] = 0x82;  // offline data collection status, then its time
  put(b.data(), 364, 0x0258, 2);
  reseal(b);
  return b;
}

ata_block thresholds_block(const std::vector<std::pair<uint8_t, uint8_t>>& entries) {
  ata_block b{};
  put(b.data(), 0, 0x0010, 2);
  for (size_t i = 0; i < entries.size(); ++i) {
    b[2 + 12 * i] = entries[i].first;
    b[3 + 12 * i] = entries[i].second;
  }
  reseal(b);
  return b;
}

std::array<uint8_t, 512> nvme_health_block(const nvme_health_fields& f) {
  std::array<uint8_t, 512> b{};
  b[0] = f.critical_warning;
  put(b.data(), 1, f.temperature, 2);
  b[3] = f.spare;
  b[4] = f.spare_threshold;
  b[5] = f.used;
  for (size_t i = 0; i < f.counters.size(); ++i) {
    put(b.data(), 32 + 16 * i, f.counters[i].low, 8);
    put(b.data(), 40 + 16 * i, f.counters[i].high, 8);
  }
  put(b.data(), 192, f.warning_minutes, 4);
  put(b.data(), 196, f.critical_minutes, 4);
  return b;
}
