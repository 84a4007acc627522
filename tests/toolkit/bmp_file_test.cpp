#include "toolkit/bmp_file.h"

#include <gtest/gtest.h>

#include "golden.h"

// A 3 x 2 image, top row first, as a 32-bit bottom-up BMP file; no file for a picture without pixels
// or one whose pixels do not fill it.
TEST(bmp_file, headers_rows_bottom_up_and_bad_images) {
  captured_image image;
  image.width = 3;
  image.height = 2;
  image.pixels = {0x11, 0x12, 0x13, 0x21, 0x22, 0x23};
  expect_golden(bmp_file(image), "toolkit/three_by_two.bmp");
  image.pixels.pop_back();
  EXPECT_TRUE(bmp_file(image).empty());
  EXPECT_TRUE(bmp_file(captured_image()).empty());
}
