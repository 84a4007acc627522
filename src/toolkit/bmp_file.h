#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// What a capture of a window gives: 32-bit pixels as the system keeps them (blue, green, red,
// alpha bytes; 0xAARRGGBB read as a number), rows from the top.
struct captured_image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // width x height
};

// The three images of a screenshot share, each a complete BMP file.
struct screenshot_set {
  std::string window;
  std::string read_graph;
  std::string write_graph;
};

// A BMP file header is 14 bytes and packed on both architectures; the info header is 40.
static_assert(sizeof(BITMAPFILEHEADER) == 14, "BMP file header");
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BMP info header");

// A 32-bit uncompressed BMP file, rows bottom-up. Empty for an image without pixels, one whose
// pixel count disagrees with its size, or one too large for the format's 32-bit sizes.
std::string bmp_file(const captured_image& image);
