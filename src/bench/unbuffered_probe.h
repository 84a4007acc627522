#pragma once

#include <cstdint>
#include <string>

#include "support/api_error.h"

// Whether a location really bypasses the file cache for handles opened with FILE_FLAG_NO_BUFFERING.
// A RAM disk, some network redirectors and Wine accept unaligned unbuffered reads: their "raw"
// results then include the file cache.
enum class unbuffered_state { enforced, not_enforced, unknown };
const char* unbuffered_state_name(unbuffered_state state);  // "enforced", "not enforced", "unknown"

// One synchronous read of an unbuffered handle into page-aligned memory; the seam tests drive.
class unbuffered_reader {
 public:
  virtual ~unbuffered_reader() = default;
  // 0 when the system accepted the read (whatever it returned), else its Windows error.
  virtual uint32_t read_at(uint64_t offset, uint32_t size) = 0;
};

constexpr uint32_t probe_file_size = 65536;  // a multiple of every sector size in use

// An aligned read must work; a read of an unaligned size and one at an unaligned offset must both
// be refused with ERROR_INVALID_PARAMETER.
unbuffered_state judge_unbuffered(unbuffered_reader& reader);

// Writes a small file at the location, judges an unbuffered handle on it and deletes it again.
// The location's own failures (it cannot be written) give unknown and reach `errors`.
unbuffered_state probe_unbuffered(const std::wstring& location, api_error_cb* errors);
