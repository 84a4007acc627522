// BMP files as the client writes them, and PNG decoding by libpng to check what the server made.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "bmp_image.h"

struct bmp_options {
  uint16_t bits = 32;
  bool top_down = false;
  uint32_t info_size = 40;
};

using pixel_source = std::function<uint32_t(uint32_t x, uint32_t y)>;  // 0xRRGGBB, y from the top

std::string make_bmp(uint32_t width, uint32_t height, const pixel_source& pixel, const bmp_options& options = {});
// A recognisable test picture: colour bands and a gradient.
uint32_t test_pattern(uint32_t x, uint32_t y);

std::optional<rgb_image> decode_png_with_libpng(const std::string& png);
