// The page of one screenshot share.
#pragma once
#include <string>
#include <string_view>

#include "share_store.h"

// `similar_devices` (markup) goes between the pictures and the report text.
std::string share_page_html(const std::string& id, const stored_share& share, std::string_view similar_devices = {});
