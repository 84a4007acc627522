#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "storage/little_endian.h"

// One little-endian word of a 512-byte ATA IDENTIFY block.
inline uint16_t identify_word(const std::array<uint8_t, 512>& block, size_t word) {
  return le16(block.data() + word * 2);
}
