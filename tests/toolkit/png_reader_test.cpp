#include <gtest/gtest.h>
#include <zlib.h>

#include "png_maker.h"
#include "toolkit/png_bitmap.h"
#include "toolkit/png_reader.h"

namespace {

std::string decode_error(const std::vector<uint8_t>& file) {
  png_image image;
  std::string error;
  EXPECT_FALSE(png_decode(file.data(), file.size(), image, error));
  EXPECT_TRUE(image.pixels.empty());
  return error;
}

std::vector<uint8_t> concat(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

std::vector<uint8_t> zlib_of(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out(compressBound(uLong(data.size())));
  uLongf length = uLongf(out.size());
  compress2(out.data(), &length, data.data(), uLong(data.size()), 9);
  out.resize(length);
  return out;
}

// A file with a hand-made IHDR and IDAT body.
std::vector<uint8_t> png_with(const std::vector<uint8_t>& ihdr, const std::vector<uint8_t>& idat) {
  return concat({png_signature_bytes(), png_chunk("IHDR", ihdr), png_chunk("IDAT", idat), png_chunk("IEND", {})});
}

}  // namespace

TEST(png_reader, every_filter_type_decodes_byte_exactly_in_rgb_and_rgba) {
  for (uint32_t channels : {3u, 4u}) {
    for (int filter = 0; filter <= 4; ++filter) {
      const uint32_t width = 13, height = 7;
      const std::vector<uint8_t> pixels = noise_pixels(width, height, channels, 17u + uint32_t(filter));
      const std::vector<uint8_t> file =
          make_png(width, height, channels, filter_png_rows(pixels, width, height, channels, {filter}));
      png_image image;
      std::string error;
      ASSERT_TRUE(png_decode(file.data(), file.size(), image, error)) << error << " filter " << filter;
      EXPECT_EQ(image.width, width);
      EXPECT_EQ(image.height, height);
      EXPECT_EQ(image.channels, channels);
      EXPECT_EQ(image.pixels, pixels) << "filter " << filter << ", " << channels << " channels";
    }
  }
  // All five mixed row by row, the stream split over several IDAT chunks, one-pixel-wide rows.
  for (uint32_t width : {1u, 68u}) {
    const std::vector<uint8_t> pixels = noise_pixels(width, 25, 4, 99);
    const std::vector<uint8_t> file = make_png(width, 25, 4, filter_png_rows(pixels, width, 25, 4, {4, 0, 3, 1, 2}), 5);
    png_image image;
    std::string error;
    ASSERT_TRUE(png_decode(file.data(), file.size(), image, error)) << error;
    EXPECT_EQ(image.pixels, pixels);
  }
}

TEST(png_reader, ancillary_chunks_are_skipped) {
  const std::vector<uint8_t> pixels = noise_pixels(4, 3, 3, 5);
  const std::vector<uint8_t> filtered = filter_png_rows(pixels, 4, 3, 3, {1});
  const std::vector<uint8_t> file = concat({png_signature_bytes(), png_chunk("IHDR", png_ihdr_body(4, 3, 8, 2)),
                                            png_chunk("gAMA", {0, 0, 0xB1, 0x8F}), png_chunk("IDAT", zlib_of(filtered)),
                                            png_chunk("tEXt", {'a', 0, 'b'}), png_chunk("IEND", {})});
  png_image image;
  std::string error;
  ASSERT_TRUE(png_decode(file.data(), file.size(), image, error)) << error;
  EXPECT_EQ(image.pixels, pixels);
}

TEST(png_reader, truncated_and_damaged_files_fail_with_their_reason) {
  const std::vector<uint8_t> pixels = noise_pixels(6, 5, 4, 3);
  const std::vector<uint8_t> good = make_png(6, 5, 4, filter_png_rows(pixels, 6, 5, 4, {2}));

  EXPECT_EQ(decode_error({}), "not a PNG file (signature)");
  EXPECT_EQ(decode_error(std::vector<uint8_t>(good.begin(), good.begin() + 7)), "not a PNG file (signature)");
  std::vector<uint8_t> bad_signature = good;
  bad_signature[1] = 'p';
  EXPECT_EQ(decode_error(bad_signature), "not a PNG file (signature)");
  // Cut anywhere after the signature: in IHDR, in IDAT, before and inside IEND.
  for (size_t cut : {size_t(8), size_t(20), size_t(33), size_t(40), good.size() - 12, good.size() - 1})
    EXPECT_EQ(decode_error(std::vector<uint8_t>(good.begin(), good.begin() + long(cut))), "file is truncated") << cut;
  // A length that points past the end of the file.
  std::vector<uint8_t> long_idat = good;
  long_idat[33] = 0x7F;
  EXPECT_EQ(decode_error(long_idat), "file is truncated");

  std::vector<uint8_t> bad_crc = good;
  bad_crc[8 + 8 + 13] ^= 1;  // IHDR's CRC
  EXPECT_EQ(decode_error(bad_crc), "chunk CRC does not match");
  std::vector<uint8_t> flipped_data = good;
  flipped_data[33 + 8 + 3] ^= 0x40;  // a byte of IDAT's body
  EXPECT_EQ(decode_error(flipped_data), "chunk CRC does not match");
}

TEST(png_reader, headers_it_cannot_or_will_not_decode_are_refused) {
  const std::vector<uint8_t> some = zlib_of(std::vector<uint8_t>(13, 0));
  EXPECT_EQ(decode_error(png_with(png_ihdr_body(2, 2, 16, 6), some)), "bit depth is not 8");
  EXPECT_EQ(decode_error(png_with(png_ihdr_body(2, 2, 8, 3), some)), "colour type is neither RGB (2) nor RGBA (6)");
  EXPECT_EQ(decode_error(png_with(png_ihdr_body(2, 2, 8, 0), some)), "colour type is neither RGB (2) nor RGBA (6)");
  EXPECT_EQ(decode_error(png_with(png_ihdr_body(2, 2, 8, 4), some)), "colour type is neither RGB (2) nor RGBA (6)");
  EXPECT_EQ(decode_error(png_with(png_ihdr_body(0, 2, 8, 6), some)), "image has no pixels");
  EXPECT_EQ(decode_error(png_with(png_ihdr_body(2, 0, 8, 6), some)), "image has no pixels");
  EXPECT_EQ(decode_error(png_with(png_ihdr_body(8193, 1, 8, 6), some)), "image is larger than 8192 pixels on a side");
  EXPECT_EQ(decode_error(png_with(png_ihdr_body(1, 0x7FFFFFFF, 8, 2), some)),
            "image is larger than 8192 pixels on a side");
  // Within each side's limit but far beyond any image the program shows: refused before inflating.
  EXPECT_EQ(decode_error(png_with(png_ihdr_body(8192, 8192, 8, 6), some)), "image is larger than 64 MiB of pixels");
  EXPECT_EQ(decode_error(png_with(png_ihdr_body(2, 2, 8, 6, 1), some)), "interlaced images are not supported");
  std::vector<uint8_t> odd_method = png_ihdr_body(2, 2, 8, 6);
  odd_method[10] = 1;
  EXPECT_EQ(decode_error(png_with(odd_method, some)), "unknown compression or filter method");
  std::vector<uint8_t> long_ihdr = png_ihdr_body(2, 2, 8, 6);
  long_ihdr.push_back(0);
  EXPECT_EQ(decode_error(png_with(long_ihdr, some)), "IHDR chunk is not 13 bytes long");
  EXPECT_EQ(decode_error(concat({png_signature_bytes(), png_chunk("IDAT", some), png_chunk("IEND", {})})),
            "first chunk is not IHDR");
  EXPECT_EQ(decode_error(
                concat({png_signature_bytes(), png_chunk("IHDR", png_ihdr_body(1, 1, 8, 2)), png_chunk("IEND", {})})),
            "no image data (IDAT)");
  EXPECT_EQ(decode_error(concat({png_signature_bytes(), png_chunk("IHDR", png_ihdr_body(1, 1, 8, 2)),
                                 png_chunk("IHDR", png_ihdr_body(1, 1, 8, 2)), png_chunk("IEND", {})})),
            "second IHDR chunk");
  EXPECT_EQ(
      decode_error(concat({png_signature_bytes(), png_chunk("IHDR", png_ihdr_body(1, 1, 8, 2)), png_chunk("ZZZZ", {}),
                           png_chunk("IDAT", zlib_of({0, 1, 2, 3})), png_chunk("IEND", {})})),
      "unknown critical chunk");
}

TEST(png_reader, image_data_must_match_the_header_before_pixels_are_written) {
  // 2 x 2 RGB: two rows of 1 filter byte and 6 pixel bytes.
  const std::vector<uint8_t> header = png_ihdr_body(2, 2, 8, 2);
  EXPECT_EQ(decode_error(png_with(header, zlib_of(std::vector<uint8_t>(15, 0)))),
            "image data is larger than its header says");
  EXPECT_EQ(decode_error(png_with(header, zlib_of(std::vector<uint8_t>(13, 0)))),
            "image data is shorter than its header says");
  std::vector<uint8_t> unfinished = zlib_of(std::vector<uint8_t>(14, 0));
  unfinished.resize(unfinished.size() - 4);  // the Adler-32 is missing
  EXPECT_EQ(decode_error(png_with(header, unfinished)), "image data ends before its zlib stream does");
  EXPECT_EQ(decode_error(png_with(header, {0x78, 0x9C, 0xFF, 0xFF, 0xFF})), "image data is not a valid zlib stream");
  std::vector<uint8_t> rows(14, 0);
  rows[7] = 5;
  EXPECT_EQ(decode_error(png_with(header, zlib_of(rows))), "a row has an unknown filter type");
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
