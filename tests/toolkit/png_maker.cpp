#include "png_maker.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>

namespace {
void put_be32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

int paeth_predictor(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}
}  // namespace

std::vector<uint8_t> filter_png_rows(const std::vector<uint8_t>& pixels, uint32_t width, uint32_t height,
                                     uint32_t channels, const std::vector<int>& filters) {
  const uint32_t row_bytes = width * channels;
  std::vector<uint8_t> out;
  for (uint32_t y = 0; y < height; ++y) {
    const int kind = filters[y % filters.size()];
    out.push_back(uint8_t(kind));
    for (uint32_t x = 0; x < row_bytes; ++x) {
      const int v = pixels[y * row_bytes + x];
      const int a = x >= channels ? pixels[y * row_bytes + x - channels] : 0;
      const int b = y > 0 ? pixels[(y - 1) * row_bytes + x] : 0;
      const int c = (y > 0 && x >= channels) ? pixels[(y - 1) * row_bytes + x - channels] : 0;
      int predicted = 0;
      switch (kind) {
        case 1: predicted = a; break;
        case 2: predicted = b; break;
        case 3: predicted = (a + b) / 2; break;
        case 4: predicted = paeth_predictor(a, b, c); break;
        default: predicted = 0; break;
      }
      out.push_back(uint8_t(v - predicted));
    }
  }
  return out;
}

std::vector<uint8_t> png_chunk(const char* type, const std::vector<uint8_t>& body) {
  std::vector<uint8_t> out;
  out.reserve(body.size() + 12);
  put_be32(out, uint32_t(body.size()));
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(type[i]));
  for (uint8_t b : body) out.push_back(b);
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
  if (!body.empty()) crc = crc32(crc, body.data(), uInt(body.size()));  // a null buffer would reset it
  put_be32(out, uint32_t(crc));
  return out;
}

std::vector<uint8_t> png_ihdr_body(uint32_t width, uint32_t height, uint8_t depth, uint8_t colour_type,
                                   uint8_t interlace) {
  std::vector<uint8_t> body;
  put_be32(body, width);
  put_be32(body, height);
  body.insert(body.end(), {depth, colour_type, 0, 0, interlace});
  return body;
}

const std::vector<uint8_t>& png_signature_bytes() {
  static const std::vector<uint8_t> signature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  return signature;
}

std::vector<uint8_t> make_png(uint32_t width, uint32_t height, uint32_t channels, const std::vector<uint8_t>& filtered,
                              int idat_chunks) {
  std::vector<uint8_t> compressed(compressBound(uLong(filtered.size())));
  uLongf length = uLongf(compressed.size());
  compress2(compressed.data(), &length, filtered.data(), uLong(filtered.size()), 9);
  compressed.resize(length);
  std::vector<uint8_t> png = png_signature_bytes();
  const std::vector<uint8_t> ihdr = png_chunk("IHDR", png_ihdr_body(width, height, 8, channels == 4 ? 6 : 2));
  png.insert(png.end(), ihdr.begin(), ihdr.end());
  const size_t piece = (compressed.size() + idat_chunks - 1) / idat_chunks;
  for (size_t start = 0; start < compressed.size(); start += piece) {
    const size_t end = std::min(compressed.size(), start + piece);
    const std::vector<uint8_t> idat =
        png_chunk("IDAT", std::vector<uint8_t>(compressed.begin() + long(start), compressed.begin() + long(end)));
    png.insert(png.end(), idat.begin(), idat.end());
  }
  const std::vector<uint8_t> iend = png_chunk("IEND", {});
  png.insert(png.end(), iend.begin(), iend.end());
  return png;
}

std::vector<uint8_t> noise_pixels(uint32_t width, uint32_t height, uint32_t channels, uint32_t seed) {
  std::vector<uint8_t> pixels(size_t(width) * height * channels);
  uint32_t state = seed;
  for (uint8_t& p : pixels) {
    state = state * 1664525u + 1013904223u;
    p = uint8_t(state >> 24);
  }
  return pixels;
}
