// The texts of a share are kept deflated (zlib format) with their length: reports are
// repetitive key/value lines and shrink several times over.
#pragma once
#include <optional>
#include <string>
#include <string_view>

std::string pack_text(std::string_view text);
// nullopt when the bytes are not a zlib stream of exactly `size` bytes.
std::optional<std::string> unpack_text(std::string_view packed, size_t size);
