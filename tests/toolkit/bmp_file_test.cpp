#include "toolkit/bmp_file.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(bmp_file, headers_rows_bottom_up_and_bad_images) {
  captured_image image;
  image.width = 3;
  image.height = 2;
  image.pixels = {0x11, 0x12, 0x13, 0x21, 0x22, 0x23};  // top row first
  const std::string bmp = bmp_file(image);
  ASSERT_EQ(bmp.size(), 14u + 40u + 24u);
  BITMAPFILEHEADER file;
  BITMAPINFOHEADER info;
  std::memcpy(&file, bmp.data(), sizeof file);
  std::memcpy(&info, bmp.data() + 14, sizeof info);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(file.bfSize, 78u);
  EXPECT_EQ(file.bfOffBits, 54u);
  EXPECT_EQ(file.bfReserved1 | file.bfReserved2, 0);
  EXPECT_EQ(info.biSize, 40u);
  EXPECT_EQ(info.biWidth, 3);
  EXPECT_EQ(info.biHeight, 2) << "positive: bottom-up";
  EXPECT_EQ(info.biPlanes, 1);
  EXPECT_EQ(info.biBitCount, 32);
  EXPECT_EQ(info.biCompression, DWORD(BI_RGB));
  EXPECT_EQ(info.biSizeImage, 24u);
  uint32_t first;
  std::memcpy(&first, bmp.data() + 54, 4);
  EXPECT_EQ(first, 0x21u) << "the bottom row comes first";
  std::memcpy(&first, bmp.data() + 54 + 12, 4);
  EXPECT_EQ(first, 0x11u);

  image.pixels.pop_back();
  EXPECT_TRUE(bmp_file(image).empty());
  EXPECT_TRUE(bmp_file(captured_image()).empty());
}

}  // namespace
