#include "text_packing.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>

std::string pack_text(std::string_view text) {
  uLongf size = compressBound(static_cast<uLong>(text.size()));
  std::string packed(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
                static_cast<uLong>(text.size()), Z_BEST_SPEED) != Z_OK) {
    std::fputs("folvi-share: pack_text: compress2 failed\n", stderr);  // only out of memory
    std::abort();
  }
  packed.resize(size);
  return packed;
}

std::optional<std::string> unpack_text(std::string_view packed, size_t size) {
  std::string text(size, '\0');
  uLongf produced = static_cast<uLongf>(size);
  uLong consumed = static_cast<uLong>(packed.size());
  // A size-0 text still has its zlib stream; uncompress2 wants a non-null buffer.
  char empty = 0;
  Bytef* out = size ? reinterpret_cast<Bytef*>(text.data()) : reinterpret_cast<Bytef*>(&empty);
  if (uncompress2(out, &produced, reinterpret_cast<const Bytef*>(packed.data()), &consumed) != Z_OK ||
      produced != size || consumed != packed.size())
    return std::nullopt;
  return text;
}
