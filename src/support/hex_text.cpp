#include "support/hex_text.h"

#include "support/format_string.h"

std::string to_hex(const uint8_t* bytes, size_t count, bool upper, char separator) {
  static const char upper_digits[] = "0123456789ABCDEF";
  static const char lower_digits[] = "0123456789abcdef";
  const char* digits = upper ? upper_digits : lower_digits;
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    if (i && separator) out += separator;
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

namespace {
int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool read_hex(const std::string& text, size_t at, size_t digits, uint32_t& value) {
  value = 0;
  for (size_t i = 0; i < digits; ++i) {
    int v = hex_value(text[at + i]);
    if (v < 0) return false;
    value = (value << 4) | uint32_t(v);
  }
  return true;
}
}  // namespace

bool guid_from_text(const std::string& text, uint8_t out[16]) {
  if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-') return false;
  uint32_t data1, data2, data3;
  if (!read_hex(text, 0, 8, data1) || !read_hex(text, 9, 4, data2) || !read_hex(text, 14, 4, data3)) return false;
  const size_t byte_at[8] = {19, 21, 24, 26, 28, 30, 32, 34};
  uint8_t tail[8];
  for (int i = 0; i < 8; ++i) {
    uint32_t b;
    if (!read_hex(text, byte_at[i], 2, b)) return false;
    tail[i] = uint8_t(b);
  }
  for (int i = 0; i < 4; ++i) out[i] = uint8_t(data1 >> (8 * i));
  for (int i = 0; i < 2; ++i) out[4 + i] = uint8_t(data2 >> (8 * i));
  for (int i = 0; i < 2; ++i) out[6 + i] = uint8_t(data3 >> (8 * i));
  for (int i = 0; i < 8; ++i) out[8 + i] = tail[i];
  return true;
}

std::string guid_to_text(const uint8_t g[16], bool upper) {
  const uint32_t data1 = uint32_t(g[0]) | uint32_t(g[1]) << 8 | uint32_t(g[2]) << 16 | uint32_t(g[3]) << 24;
  const unsigned data2 = unsigned(g[4]) | unsigned(g[5]) << 8;
  const unsigned data3 = unsigned(g[6]) | unsigned(g[7]) << 8;
  const char* format =
      upper ? "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X" : "%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x";
  return format_string(format, (unsigned)data1, data2, data3, g[8], g[9], g[10], g[11], g[12], g[13], g[14], g[15]);
}
