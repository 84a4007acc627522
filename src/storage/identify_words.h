#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// One little-endian word of a 512-byte ATA IDENTIFY block.
inline uint16_t identify_word(const std::array<uint8_t, 512>& block, size_t word) {
  return uint16_t(block[word * 2] | (block[word * 2 + 1] << 8));
}
