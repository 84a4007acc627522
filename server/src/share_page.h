// The page of one screenshot share.
#pragma once
#include <string>

#include "share_store.h"

std::string share_page_html(const std::string& id, const stored_share& share);
