#include "toolkit/bmp_file.h"

#include <cstring>

namespace {
constexpr uint64_t bmp_size_limit = 0xFFFFFFFFull;
}  // namespace

std::string bmp_file(const captured_image& image) {
  if (image.width <= 0 || image.height <= 0) return {};
  const uint64_t pixel_count = uint64_t(image.width) * uint64_t(image.height);
  if (image.pixels.size() != pixel_count) return {};
  const uint64_t headers = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  const uint64_t row_bytes = uint64_t(image.width) * sizeof(uint32_t);
  const uint64_t image_bytes = pixel_count * sizeof(uint32_t);
  if (headers + image_bytes > bmp_size_limit) return {};

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfSize = DWORD(headers + image_bytes);
  file.bfOffBits = DWORD(headers);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = image.width;
  info.biHeight = image.height;  // positive: bottom-up
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  info.biSizeImage = DWORD(image_bytes);

  std::string out(size_t(headers + image_bytes), '\0');
  std::memcpy(&out[0], &file, sizeof file);
  std::memcpy(&out[sizeof file], &info, sizeof info);
  char* rows = &out[size_t(headers)];
  for (int y = 0; y < image.height; ++y) {
    const uint32_t* source = &image.pixels[size_t(image.height - 1 - y) * size_t(image.width)];
    std::memcpy(rows + size_t(y) * size_t(row_bytes), source, size_t(row_bytes));
  }
  return out;
}
