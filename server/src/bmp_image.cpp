#include "bmp_image.h"

#include "byte_reader.h"

namespace {

constexpr size_t file_header_size = 14;

bool fail(std::string& error, const char* reason) {
  error = reason;
  return false;
}

}  // namespace

bool decode_bmp(std::string_view bytes, rgb_image& image, std::string& error, uint64_t max_pixels) {
  if (!fits(bytes, 0, file_header_size + 40) || bytes.substr(0, 2) != "BM") return fail(error, "not a BMP file");
  uint32_t pixel_offset = read_u32(bytes, 10);
  uint32_t info_size = read_u32(bytes, 14);
  if (info_size != 40 && info_size != 108 && info_size != 124) return fail(error, "BMP info header of an unknown size");
  if (!fits(bytes, file_header_size, info_size)) return fail(error, "BMP header cut short");
  int32_t width = read_i32(bytes, 18);
  int32_t height = read_i32(bytes, 22);
  uint16_t planes = read_u16(bytes, 26);
  uint16_t bits = read_u16(bytes, 28);
  uint32_t compression = read_u32(bytes, 30);
  if (planes != 1) return fail(error, "BMP with more than one plane");
  if (bits != 24 && bits != 32) return fail(error, "BMP not of 24 or 32 bits per pixel");
  if (compression != 0) return fail(error, "compressed BMP");
  bool top_down = height < 0;
  int64_t rows = top_down ? -int64_t{height} : height;
  if (width <= 0 || width > int32_t{max_bmp_side} || rows == 0 || rows > max_bmp_side)
    return fail(error, "BMP size out of range");
  if (static_cast<uint64_t>(width) * static_cast<uint64_t>(rows) > max_pixels) {
    error = "BMP of " + std::to_string(width) + " x " + std::to_string(rows) + " pixels, more than " +
            std::to_string(max_pixels);
    return false;
  }
  if (pixel_offset < file_header_size + info_size) return fail(error, "BMP pixels inside its header");
  uint64_t stride = (uint64_t{static_cast<uint32_t>(width)} * bits + 31) / 32 * 4;
  if (!fits(bytes, pixel_offset, stride * static_cast<uint64_t>(rows))) return fail(error, "BMP pixels cut short");

  image.width = static_cast<uint32_t>(width);
  image.height = static_cast<uint32_t>(rows);
  image.rgb.resize(size_t{image.width} * image.height * 3);
  const unsigned char* pixels = reinterpret_cast<const unsigned char*>(bytes.data()) + pixel_offset;
  size_t step = bits / 8;
  for (uint32_t y = 0; y < image.height; ++y) {
    uint32_t source_row = top_down ? y : image.height - 1 - y;
    const unsigned char* in = pixels + source_row * stride;
    uint8_t* out = image.rgb.data() + size_t{y} * image.width * 3;
    for (uint32_t x = 0; x < image.width; ++x, in += step, out += 3) {
      out[0] = in[2];  // stored as blue, green, red (and a fourth byte that GDI leaves unset)
      out[1] = in[1];
      out[2] = in[0];
    }
  }
  return true;
}
