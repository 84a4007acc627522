#pragma once

#include <cstdint>

// The three ZIP records this writer emits, little-endian and without padding, in the order of
// their fields in the archive. No extra fields, no comments, no ZIP64.
#pragma pack(push, 1)

struct zip_local_header {
  uint32_t signature;  // 0x04034b50
  uint16_t version_needed;
  uint16_t flags;
  uint16_t method;
  uint16_t dos_time;
  uint16_t dos_date;
  uint32_t crc32;
  uint32_t compressed_size;
  uint32_t size;
  uint16_t name_length;
  uint16_t extra_length;
};

struct zip_central_header {
  uint32_t signature;  // 0x02014b50
  uint16_t version_made_by;
  uint16_t version_needed;
  uint16_t flags;
  uint16_t method;
  uint16_t dos_time;
  uint16_t dos_date;
  uint32_t crc32;
  uint32_t compressed_size;
  uint32_t size;
  uint16_t name_length;
  uint16_t extra_length;
  uint16_t comment_length;
  uint16_t disk_start;
  uint16_t internal_attributes;
  uint32_t external_attributes;
  uint32_t local_header_offset;
};

struct zip_end_record {
  uint32_t signature;  // 0x06054b50
  uint16_t disk;
  uint16_t directory_disk;
  uint16_t disk_entries;
  uint16_t entries;
  uint32_t directory_size;
  uint32_t directory_offset;
  uint16_t comment_length;
};

#pragma pack(pop)

static_assert(sizeof(zip_local_header) == 30, "ZIP local header");
static_assert(sizeof(zip_central_header) == 46, "ZIP central directory header");
static_assert(sizeof(zip_end_record) == 22, "ZIP end of central directory record");

constexpr uint32_t zip_local_signature = 0x04034b50;
constexpr uint32_t zip_central_signature = 0x02014b50;
constexpr uint32_t zip_end_signature = 0x06054b50;
constexpr uint16_t zip_method_stored = 0;
constexpr uint16_t zip_method_deflated = 8;
