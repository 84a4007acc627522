// Little-endian field writers for the archives and images the tests build: each field is its
// width in bytes (2 or 4) and its value.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

inline void put_fields(std::string& out, std::initializer_list<std::pair<int, uint32_t>> fields) {
  for (auto [width, value] : fields)
    for (int i = 0; i < width; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}
