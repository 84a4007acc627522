// Link identifiers: 128 random bits written in 22 characters of the URL-safe Base64 alphabet.
#pragma once
#include <string>
#include <string_view>

constexpr size_t share_id_length = 22;

std::string new_share_id();
bool is_share_id(std::string_view text);
