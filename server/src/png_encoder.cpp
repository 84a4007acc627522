#include "png_encoder.h"

#include <zlib.h>

#include <cstdlib>
#include <cstdio>

namespace {

void put_u32(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>(value >> 24));
  out.push_back(static_cast<char>(value >> 16));
  out.push_back(static_cast<char>(value >> 8));
  out.push_back(static_cast<char>(value));
}

void put_chunk(std::string& out, const char* type, const std::string& data) {
  put_u32(out, static_cast<uint32_t>(data.size()));
  size_t type_at = out.size();
  out.append(type, 4);
  out += data;
  uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(out.data() + type_at), 4 + data.size());
  put_u32(out, static_cast<uint32_t>(crc));
}

uint8_t paeth(int a, int b, int c) {
  int p = a + b - c;
  int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Filters one row five ways and keeps the one whose bytes, read as signed, sum smallest.
void filter_row(const uint8_t* row, const uint8_t* above, size_t length, std::string& out, std::string& scratch) {
  constexpr size_t bpp = 3;
  uint64_t best_cost = UINT64_MAX;
  std::string best;
  for (int type = 0; type < 5; ++type) {
    scratch.assign(length + 1, '\0');
    scratch[0] = static_cast<char>(type);
    uint64_t cost = 0;
    for (size_t i = 0; i < length; ++i) {
      int a = i >= bpp ? row[i - bpp] : 0;
      int b = above ? above[i] : 0;
      int c = (above && i >= bpp) ? above[i - bpp] : 0;
      int predicted = 0;
      switch (type) {
        case 1: predicted = a; break;
        case 2: predicted = b; break;
        case 3: predicted = (a + b) / 2; break;
        case 4: predicted = paeth(a, b, c); break;
        default: break;
      }
      auto value = static_cast<uint8_t>(row[i] - predicted);
      scratch[i + 1] = static_cast<char>(value);
      cost += value < 128 ? value : 256 - value;
    }
    if (cost < best_cost) {
      best_cost = cost;
      best.swap(scratch);
    }
  }
  out += best;
}

[[noreturn]] void die(const char* what) {
  std::fprintf(stderr, "encode_png: %s\n", what);
  std::abort();
}

}  // namespace

std::string encode_png(const rgb_image& image) {
  size_t row_length = size_t{image.width} * 3;
  if (image.rgb.size() != row_length * image.height) die("pixel buffer does not match its size");
  std::string filtered, scratch;
  filtered.reserve((row_length + 1) * image.height);
  for (uint32_t y = 0; y < image.height; ++y) {
    const uint8_t* row = image.rgb.data() + y * row_length;
    filter_row(row, y ? row - row_length : nullptr, row_length, filtered, scratch);
  }

  uLongf compressed_size = compressBound(filtered.size());
  std::string compressed(compressed_size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(compressed.data()), &compressed_size,
                reinterpret_cast<const Bytef*>(filtered.data()), filtered.size(), Z_DEFAULT_COMPRESSION) != Z_OK)
    die("compress2 failed");
  compressed.resize(compressed_size);

  std::string header;
  put_u32(header, image.width);
  put_u32(header, image.height);
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, deflate, adaptive, no interlace

  std::string png("\x89PNG\r\n\x1a\n", 8);
  put_chunk(png, "IHDR", header);
  put_chunk(png, "IDAT", compressed);
  put_chunk(png, "IEND", std::string());
  return png;
}
