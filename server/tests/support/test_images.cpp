#include "test_images.h"

#include <png.h>

#include "little_endian.h"

uint32_t test_pattern(uint32_t x, uint32_t y) {
  uint32_t band = (x / 16) % 4;
  if (band == 0) return 0xFF00FF;
  if (band == 1) return 0x00C000;
  return ((x * 7) & 0xff) << 16 | ((y * 5) & 0xff) << 8 | ((x + y) & 0xff);
}

std::string make_bmp(uint32_t width, uint32_t height, const pixel_source& pixel, const bmp_options& options) {
  uint32_t stride = (width * options.bits + 31) / 32 * 4;
  uint32_t pixel_offset = 14 + options.info_size;
  std::string out = "BM";
  // File size, reserved, pixel offset; the info header: its size, width, height (negative when
  // top-down), one plane, bits, BI_RGB, image size, 72 dpi both ways, no palette.
  uint32_t rows = options.top_down ? static_cast<uint32_t>(-static_cast<int32_t>(height)) : height;
  put_fields(out, {{4, pixel_offset + stride * height}, {4, 0}, {4, pixel_offset}, {4, options.info_size}});
  put_fields(out, {{4, width}, {4, rows}, {2, 1}, {2, options.bits}, {4, 0}, {4, stride * height}});
  put_fields(out, {{4, 2835}, {4, 2835}, {4, 0}, {4, 0}});
  out.resize(pixel_offset, '\0');  // the rest of a V4 or V5 header
  for (uint32_t row = 0; row < height; ++row) {
    uint32_t y = options.top_down ? row : height - 1 - row;
    std::string line;
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t rgb = pixel(x, y);
      line.push_back(static_cast<char>(rgb & 0xff));
      line.push_back(static_cast<char>((rgb >> 8) & 0xff));
      line.push_back(static_cast<char>((rgb >> 16) & 0xff));
      if (options.bits == 32) line.push_back('\0');  // GDI leaves the fourth byte 0
    }
    line.resize(stride, '\0');
    out += line;
  }
  return out;
}

std::optional<rgb_image> decode_png_with_libpng(const std::string& png) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return std::nullopt;
  image.format = PNG_FORMAT_RGB;
  rgb_image out;
  out.width = image.width;
  out.height = image.height;
  out.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  return out;
}
