#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

class api_error_cb;

// DOS date and time of a local time; times before 1980 become 1980-01-01 00:00:00.
struct dos_date_time {
  uint16_t time;
  uint16_t date;
};
dos_date_time to_dos_date_time(const SYSTEMTIME& local);

// Builds a ZIP archive in memory: entries in the order added, each Deflate-compressed at level 9
// (raw deflate) with its CRC-32, except entries of 3 bytes or less, which are stored. Every entry
// carries the same DOS date and time. No extra fields, no comments.
class zip_writer {
 public:
  explicit zip_writer(const SYSTEMTIME& packed_at);
  // Names are plain ASCII with "/" as the only separator.
  bool add(const char* name, const void* data, size_t size, api_error_cb* errors);
  // Appends the central directory and the end record and hands the archive over.
  bool finish(std::string& archive, api_error_cb* errors);

  static constexpr size_t largest_stored_size = 3;

 private:
  dos_date_time stamp_;
  std::string archive_;
  std::string directory_;
  uint32_t entries_ = 0;
};

// zlib's raw Deflate at level 9; false after a reported "deflateInit2" or "deflate" failure.
bool deflate_level9(const void* data, size_t size, std::string& out, api_error_cb* errors);
