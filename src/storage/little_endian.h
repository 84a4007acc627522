#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

// Little-endian numbers at any byte offset of the replies and blocks the scan reads.
template <typename T>
T read_le(const uint8_t* p) {
  static_assert(std::is_unsigned<T>::value, "an unsigned number");
  T value = 0;
  for (size_t i = sizeof(T); i-- > 0;) value = T(value << 8 | T(p[i]));
  return value;
}
inline uint16_t le16(const uint8_t* p) { return read_le<uint16_t>(p); }
inline uint32_t le32(const uint8_t* p) { return read_le<uint32_t>(p); }
inline uint64_t le64(const uint8_t* p) { return read_le<uint64_t>(p); }
