#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A decoded 8-bit RGB or RGBA PNG: rows top to bottom, filters undone, no filter bytes.
struct png_image {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t channels = 0;  // 3 (RGB) or 4 (RGBA)
  std::vector<uint8_t> pixels;
};

// Largest width or height accepted; larger images are refused before anything is inflated.
constexpr uint32_t png_max_side = 8192;

// Reads a whole PNG file. Only what the program embeds is accepted: bit depth 8, colour type 2
// or 6, no interlacing. On failure returns false and says why in `error`.
bool png_decode(const uint8_t* data, size_t size, png_image& image, std::string& error);

// Undoes the five PNG row filters in place on inflated data (filter byte + row, per row) and
// packs the rows without their filter bytes into `pixels`. False when a filter byte is unknown.
bool png_unfilter(std::vector<uint8_t>& data, uint32_t row_bytes, uint32_t rows, uint32_t bytes_per_pixel,
                  std::vector<uint8_t>& pixels, std::string& error);
