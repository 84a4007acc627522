#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/png_reader.h"
#include "toolkit/sfc_gdi.h"

// Resource type of the program's embedded PNG images.
constexpr int png_resource_type = 1000;

// The pixels of a 32-bit bottom-up DIB for the image: the last image row first, each pixel
// blue, green, red, alpha (alpha from the image, 255 for RGB). Empty for other pixel sizes.
std::vector<uint8_t> png_dib_pixels(const png_image& image);

// A 32-bit bottom-up DIB section holding the image (positive height).
bool png_to_bitmap(const png_image& image, sfc_bitmap& bitmap);

// Decodes PNG resource `id` of type 1000 from `module` (the program when null) into a bitmap.
bool load_png_resource(int id, sfc_bitmap& bitmap, std::string& error, HMODULE module = nullptr);
