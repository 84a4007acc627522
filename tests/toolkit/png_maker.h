#pragma once

#include <cstdint>
#include <string>
#include <vector>

// PNG files written the long way round, so the reader is checked against an encoder of its own.

// Applies PNG filter `filters[y % filters.size()]` to each row of packed pixels and leads each
// row with its filter byte.
std::vector<uint8_t> filter_png_rows(const std::vector<uint8_t>& pixels, uint32_t width, uint32_t height,
                                     uint32_t channels, const std::vector<int>& filters);

std::vector<uint8_t> png_chunk(const char* type, const std::vector<uint8_t>& body);
std::vector<uint8_t> png_ihdr_body(uint32_t width, uint32_t height, uint8_t depth, uint8_t colour_type,
                                   uint8_t interlace = 0);
const std::vector<uint8_t>& png_signature_bytes();

// Signature, IHDR, the zlib stream of `filtered` in `idat_chunks` IDAT chunks, IEND.
std::vector<uint8_t> make_png(uint32_t width, uint32_t height, uint32_t channels, const std::vector<uint8_t>& filtered,
                              int idat_chunks = 1);

// Deterministic pixel noise, so every filter sees left, up and up-left neighbours that differ.
std::vector<uint8_t> noise_pixels(uint32_t width, uint32_t height, uint32_t channels, uint32_t seed);
