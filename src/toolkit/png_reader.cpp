#include "toolkit/png_reader.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

const uint8_t png_signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// Decoded pixels are capped as well as each side, so a header cannot ask for gigabytes.
constexpr uint64_t max_pixel_bytes = 64ull << 20;

uint32_t read_be32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

bool fail(std::string& error, const char* why) {
  error = why;
  return false;
}

struct png_header {
  uint32_t width, height;
  uint8_t depth, colour_type, compression, filter, interlace;
};

bool check_header(const uint8_t* p, uint32_t length, png_header& h, std::string& error) {
  if (length != 13) return fail(error, "IHDR chunk is not 13 bytes long");
  h = {read_be32(p), read_be32(p + 4), p[8], p[9], p[10], p[11], p[12]};
  if (h.width == 0 || h.height == 0) return fail(error, "image has no pixels");
  if (h.width > png_max_side || h.height > png_max_side)
    return fail(error, "image is larger than 8192 pixels on a side");
  if (h.depth != 8) return fail(error, "bit depth is not 8");
  if (h.colour_type != 2 && h.colour_type != 6) return fail(error, "colour type is neither RGB (2) nor RGBA (6)");
  if (h.compression != 0 || h.filter != 0) return fail(error, "unknown compression or filter method");
  if (h.interlace != 0) return fail(error, "interlaced images are not supported");
  const uint64_t bytes = uint64_t(h.width) * h.height * (h.colour_type == 6 ? 4 : 3);
  if (bytes > max_pixel_bytes) return fail(error, "image is larger than 64 MiB of pixels");
  return true;
}

// Inflates into a buffer of exactly the size the header implies; more or less data is an error.
bool inflate_exact(const std::vector<uint8_t>& compressed, std::vector<uint8_t>& out, std::string& error) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return fail(error, "zlib cannot start inflating");
  z.next_in = const_cast<Bytef*>(compressed.data());
  z.avail_in = uInt(compressed.size());
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  const int rc = inflate(&z, Z_FINISH);
  const bool filled = z.avail_out == 0, input_left = z.avail_in > 0;
  inflateEnd(&z);
  if (rc == Z_STREAM_END) return filled ? true : fail(error, "image data is shorter than its header says");
  // zlib stops with input left over only when it has more to write than there is room for.
  if (rc == Z_BUF_ERROR && filled && input_left) return fail(error, "image data is larger than its header says");
  if (rc == Z_BUF_ERROR && !input_left) return fail(error, "image data ends before its zlib stream does");
  return fail(error, "image data is not a valid zlib stream");
}

uint8_t paeth(uint8_t a, uint8_t b, uint8_t c) {
  const int p = int(a) + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

}  // namespace

bool png_unfilter(std::vector<uint8_t>& data, uint32_t row_bytes, uint32_t rows, uint32_t bpp,
                  std::vector<uint8_t>& pixels, std::string& error) {
  if (data.size() != uint64_t(row_bytes + 1) * rows) return fail(error, "image data size does not match its rows");
  pixels.resize(size_t(row_bytes) * rows);
  const uint8_t* prior = nullptr;  // the row above, already unfiltered; none for the first row
  for (uint32_t y = 0; y < rows; ++y) {
    const uint8_t filter = data[size_t(y) * (row_bytes + 1)];
    const uint8_t* in = &data[size_t(y) * (row_bytes + 1) + 1];
    uint8_t* out = &pixels[size_t(y) * row_bytes];
    for (uint32_t x = 0; x < row_bytes; ++x) {
      const uint8_t left = x >= bpp ? out[x - bpp] : 0;
      const uint8_t up = prior ? prior[x] : 0;
      const uint8_t up_left = (prior && x >= bpp) ? prior[x - bpp] : 0;
      switch (filter) {
        case 0: out[x] = in[x]; break;
        case 1: out[x] = uint8_t(in[x] + left); break;
        case 2: out[x] = uint8_t(in[x] + up); break;
        case 3: out[x] = uint8_t(in[x] + ((left + up) >> 1)); break;
        case 4: out[x] = uint8_t(in[x] + paeth(left, up, up_left)); break;
        default: return fail(error, "a row has an unknown filter type");
      }
    }
    prior = out;
  }
  return true;
}

bool png_decode(const uint8_t* data, size_t size, png_image& image, std::string& error) {
  image = png_image();
  if (size < sizeof png_signature || std::memcmp(data, png_signature, sizeof png_signature) != 0)
    return fail(error, "not a PNG file (signature)");
  size_t pos = sizeof png_signature;
  png_header header{};
  bool have_header = false, have_end = false;
  std::vector<uint8_t> compressed;
  while (!have_end) {
    if (size - pos < 12) return fail(error, "file is truncated");
    const uint32_t length = read_be32(data + pos);
    const uint8_t* type = data + pos + 4;
    if (length > 0x7FFFFFFF || length > size - pos - 12) return fail(error, "file is truncated");
    const uint8_t* body = type + 4;
    const uint32_t stored_crc = read_be32(body + length);
    if (uint32_t(crc32(crc32(0, type, 4), body, length)) != stored_crc) return fail(error, "chunk CRC does not match");
    pos += 12 + size_t(length);
    const bool critical = !(type[0] & 0x20);
    if (!have_header) {
      if (std::memcmp(type, "IHDR", 4) != 0) return fail(error, "first chunk is not IHDR");
      if (!check_header(body, length, header, error)) return false;
      have_header = true;
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      compressed.insert(compressed.end(), body, body + length);
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      have_end = true;
    } else if (std::memcmp(type, "IHDR", 4) == 0) {
      return fail(error, "second IHDR chunk");
    } else if (critical && std::memcmp(type, "PLTE", 4) != 0) {
      return fail(error, "unknown critical chunk");
    }
  }
  if (compressed.empty()) return fail(error, "no image data (IDAT)");
  if (compressed.size() > 0xFFFFFFFFu) return fail(error, "image data is too large");
  const uint32_t channels = header.colour_type == 6 ? 4 : 3;
  const uint32_t row_bytes = header.width * channels;
  std::vector<uint8_t> inflated(size_t(row_bytes + 1) * header.height);
  if (!inflate_exact(compressed, inflated, error)) return false;
  std::vector<uint8_t> pixels;
  if (!png_unfilter(inflated, row_bytes, header.height, channels, pixels, error)) return false;
  image.pixels = std::move(pixels);
  image.width = header.width;
  image.height = header.height;
  image.channels = channels;
  return true;
}
