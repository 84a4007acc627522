#pragma once

#include <string>

#include "bench/test_def.h"
#include "bench/test_runner_cb.h"
#include "support/api_error.h"
#include "support/logger.h"

extern const wchar_t test_file_leaf[];  // "~folvi-benchmark.tmp"
std::wstring test_file_name(const std::wstring& location);

constexpr uint32_t creation_chunk = 16777216;

// The file is written unbuffered, so its size is rounded down to whole sectors (at least one).
bool create_test_file(const std::wstring& file_name, const test_def& def, uint32_t sector_size, test_runner_cb& cb,
                      logger& log, api_error_cb* errors);
// Empties the standby list; true only when that worked.
bool purge_file_cache(api_error_cb* errors);
