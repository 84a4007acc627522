#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// "%02X" or "%02x" per byte; a separator of 0 means none.
std::string to_hex(const uint8_t* bytes, size_t count, bool upper, char separator = 0);

// Exactly 36 characters, hyphens at 8, 13, 18, 23, no braces; Windows GUID byte layout.
bool guid_from_text(const std::string& text, uint8_t out[16]);
std::string guid_to_text(const uint8_t guid[16], bool upper);
