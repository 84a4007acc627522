// BMP decoding and PNG encoding, checked pixel by pixel against libpng's reading of our PNGs.
#include <gtest/gtest.h>

#include "bmp_image.h"
#include "golden.h"
#include "png_encoder.h"
#include "test_images.h"

namespace {

void expect_pattern(const rgb_image& image, uint32_t width, uint32_t height) {
  ASSERT_EQ(image.width, width);
  ASSERT_EQ(image.height, height);
  ASSERT_EQ(image.rgb.size(), size_t{width} * height * 3);
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t expected = test_pattern(x, y);
      const uint8_t* p = &image.rgb[(size_t{y} * width + x) * 3];
      ASSERT_EQ((uint32_t{p[0]} << 16) | (p[1] << 8) | p[2], expected) << "pixel " << x << "," << y;
    }
}

std::string bmp_error(const std::string& bmp) {
  rgb_image image;
  std::string error;
  EXPECT_FALSE(decode_bmp(bmp, image, error));
  return error;
}

}  // namespace

TEST(bmp_image, decodes_the_layouts_a_capture_can_have) {
  struct layout {
    uint32_t width, height;
    bmp_options options;
  } layouts[] = {
      {64, 40, {32, false, 40}},  // what the client writes
      {3, 5, {24, false, 40}},    // rows padded to 4 bytes
      {17, 9, {32, true, 40}},    // top-down
      {10, 4, {32, false, 124}},  // V5 header
      {1, 1, {24, true, 108}},
  };
  for (const layout& l : layouts) {
    rgb_image image;
    std::string error;
    ASSERT_TRUE(decode_bmp(make_bmp(l.width, l.height, test_pattern, l.options), image, error)) << error;
    expect_pattern(image, l.width, l.height);
  }
}

TEST(bmp_image, refuses_headers_it_cannot_trust) {
  std::string good = make_bmp(8, 8, test_pattern), transcript;
  // Each patch: at this offset, these bytes (the last, 32769 wide and a cut, as text).
  const std::pair<size_t, std::string> patches[] = {{0, "PK"},
                                                    {14, std::string("\x0c\0\0\0", 4)},
                                                    {18, std::string("\0\0\0\0", 4)},
                                                    {18, "\x01\x80"},
                                                    {22, "\xff\xff\xff\x7f"},
                                                    {26, "\x02"},
                                                    {28, "\x10"},
                                                    {30, "\x01"},
                                                    {10, std::string("\x10\0\0\0", 4)},
                                                    {10, "\xff\xff\xff\xff"}};
  for (const auto& [at, bytes] : patches) {
    std::string bmp = good;
    transcript += std::to_string(at) + ": " + bmp_error(bmp.replace(at, bytes.size(), bytes)) + "\n";
  }
  transcript += "BM: " + bmp_error("BM") + "\ncut: " + bmp_error(good.substr(0, good.size() - 1)) + "\n";
  expect_golden(transcript, "bmp_errors.txt");
}

TEST(png_encoder, libpng_reads_back_every_pixel) {
  for (auto [width, height] : {std::pair{1u, 1u}, {2u, 3u}, {200u, 120u}, {1023u, 7u}}) {
    rgb_image source;
    std::string error;
    ASSERT_TRUE(decode_bmp(make_bmp(width, height, test_pattern), source, error));
    std::string png = encode_png(source);
    ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    auto decoded = decode_png_with_libpng(png);
    ASSERT_TRUE(decoded) << width << "x" << height;
    expect_pattern(*decoded, width, height);
  }
}
