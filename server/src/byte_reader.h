// Little-endian field reads at checked offsets of untrusted bytes.
#pragma once
#include <cstdint>
#include <string_view>

inline bool fits(std::string_view bytes, uint64_t offset, uint64_t length) {
  return offset <= bytes.size() && length <= bytes.size() - offset;
}

// Callers check fits() first; these read without further checks.
inline uint16_t read_u16(std::string_view bytes, size_t offset) {
  auto p = reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t read_u32(std::string_view bytes, size_t offset) {
  auto p = reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

inline int32_t read_i32(std::string_view bytes, size_t offset) { return static_cast<int32_t>(read_u32(bytes, offset)); }
