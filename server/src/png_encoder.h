// Writes an 8-bit RGB PNG: one IDAT chunk, each row with the filter that looks cheapest.
#pragma once
#include <string>

#include "bmp_image.h"

std::string encode_png(const rgb_image& image);
