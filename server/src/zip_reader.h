// Reads the ZIP packages that clients upload: the central directory, checked against the local
// headers, and one entry at a time inflated into a buffer of exactly its declared size.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct zip_entry {
  std::string name;
  uint16_t method = 0;  // 0 stored, 8 deflated; nothing else passes the directory check
  uint32_t crc = 0;
  uint32_t compressed_size = 0;
  uint32_t size = 0;         // declared uncompressed size
  uint32_t data_offset = 0;  // first byte of the compressed data in the archive
};

struct zip_directory_limits {
  size_t max_entries = 0;
  size_t max_name_length = 0;
};

// Walks the archive and fills `entries` in central-directory order. The archive must be one
// plain sequence of local entries that tile the space before the central directory (no gaps, no
// overlaps, no data descriptors, no encryption, no ZIP64, no comment), and every local header
// must agree with its central record. On failure returns false with a short reason in `error`.
bool read_zip_directory(std::string_view archive, const zip_directory_limits& limits, std::vector<zip_entry>& entries,
                        std::string& error);

// Inflates one entry listed by read_zip_directory into `out` (exactly entry.size bytes) and
// checks its CRC-32. Streams that produce more or fewer bytes than declared fail.
bool extract_zip_entry(std::string_view archive, const zip_entry& entry, std::string& out, std::string& error);
