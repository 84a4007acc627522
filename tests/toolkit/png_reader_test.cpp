#include <gtest/gtest.h>

#include "golden.h"
#include "toolkit/png_bitmap.h"
#include "toolkit/png_reader.h"

namespace {
std::string decoded(const std::string& name) {
  const std::string file = test_data_text("toolkit/png/" + name);
  png_image image;
  std::string error;
  const bool ok = png_decode(reinterpret_cast<const uint8_t*>(file.data()), file.size(), image, error);
  if (!ok) return error + (image.pixels.empty() ? "" : ", pixels left behind");
  const std::string raw = test_data_text("toolkit/png/" + name.substr(0, name.size() - 4) + ".raw");
  return std::to_string(image.width) + "x" + std::to_string(image.height) + "x" + std::to_string(image.channels) +
         (image.pixels == std::vector<uint8_t>(raw.begin(), raw.end()) ? ", the pixels of the .raw file"
                                                                       : ", other pixels");
}
}  // namespace

// Every filter type in RGB and RGBA, all five mixed over several IDAT chunks, one-pixel rows,
// ancillary chunks skipped; truncated, damaged and unsupported files refused with their reason.
TEST(png_reader, files_decode_byte_exactly_or_fail_with_their_reason) {
  expect_table("toolkit/png_cases.txt", decoded);
}

TEST(png_bitmap, dib_pixels_are_bottom_up_bgra_with_alpha_from_the_image_or_opaque) {
  png_image rgba;
  rgba.width = 2;
  rgba.height = 2;
  rgba.channels = 4;
  rgba.pixels = {1, 2,  3,  4,  5,  6,  7,  8,  // top row
                 9, 10, 11, 12, 13, 14, 15, 16};
  EXPECT_EQ(png_dib_pixels(rgba), (std::vector<uint8_t>{11, 10, 9, 12, 15, 14, 13, 16, 3, 2, 1, 4, 7, 6, 5, 8}));
  png_image rgb;
  rgb.width = 1;
  rgb.height = 2;
  rgb.channels = 3;
  rgb.pixels = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(png_dib_pixels(rgb), (std::vector<uint8_t>{6, 5, 4, 255, 3, 2, 1, 255}));
  png_image grey = rgb;
  grey.channels = 2;
  EXPECT_TRUE(png_dib_pixels(grey).empty());
  png_image short_pixels = rgba;
  short_pixels.pixels.pop_back();
  EXPECT_TRUE(png_dib_pixels(short_pixels).empty());
}
