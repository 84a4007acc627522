#include "toolkit/png_bitmap.h"

#include <cstring>

std::vector<uint8_t> png_dib_pixels(const png_image& image) {
  std::vector<uint8_t> out;
  const uint32_t channels = image.channels;
  if ((channels != 3 && channels != 4) || image.pixels.size() != size_t(image.width) * image.height * channels)
    return out;
  out.resize(size_t(image.width) * image.height * 4);
  uint8_t* dst = out.data();
  for (uint32_t row = image.height; row-- > 0;) {
    const uint8_t* src = &image.pixels[size_t(row) * image.width * channels];
    for (uint32_t x = 0; x < image.width; ++x, src += channels, dst += 4) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
      dst[3] = channels == 4 ? src[3] : 255;
    }
  }
  return out;
}

bool png_to_bitmap(const png_image& image, sfc_bitmap& bitmap) {
  const std::vector<uint8_t> pixels = png_dib_pixels(image);
  if (pixels.empty() || !bitmap.create_dib(int(image.width), int(image.height), true)) return false;
  std::memcpy(bitmap.bits(), pixels.data(), pixels.size());
  GdiFlush();
  return true;
}

bool load_png_resource(int id, sfc_bitmap& bitmap, std::string& error, HMODULE module) {
  if (!module) module = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(png_resource_type));
  const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) {
    error = "image resource not found";
    return false;
  }
  png_image image;
  if (!png_decode(static_cast<const uint8_t*>(data), SizeofResource(module, found), image, error)) return false;
  if (png_to_bitmap(image, bitmap)) return true;
  error = "bitmap cannot be created";
  return false;
}
