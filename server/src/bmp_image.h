// Decodes the BMP files that a screenshot share carries (file header plus a 40-, 108- or
// 124-byte info header, 24 or 32 bits per pixel, uncompressed, bottom-up or top-down).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Pixels as rows of R, G, B bytes from the top row down.
struct rgb_image {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgb;
};

constexpr uint32_t max_bmp_side = 16384;

// `max_pixels` is checked on the header, before any pixel is decoded.
bool decode_bmp(std::string_view bytes, rgb_image& image, std::string& error,
                uint64_t max_pixels = uint64_t{max_bmp_side} * max_bmp_side);
