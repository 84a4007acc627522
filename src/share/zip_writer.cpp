#include "share/zip_writer.h"

#include <zlib.h>

#include <cstring>

#include "share/zip_records.h"
#include "support/api_error.h"

namespace {

constexpr uint16_t version_stored = 10;     // 1.0
constexpr uint16_t version_deflated = 20;   // 2.0
constexpr uint16_t version_made_by = 20;    // 2.0 on MS-DOS: no Unix attributes
constexpr uint32_t zip_limit = UINT32_MAX;  // no ZIP64
constexpr uint32_t entry_limit = 0xFFFF;

template <typename T>
void append_record(std::string& out, const T& record) {
  out.append(reinterpret_cast<const char*>(&record), sizeof record);
}

bool too_large(api_error_cb* errors, const char* what) {
  if (errors) errors->report_api_error("CheckZipSize", no_error_code, "%s", what);
  return false;
}

}  // namespace

dos_date_time to_dos_date_time(const SYSTEMTIME& local) {
  if (local.wYear < 1980) return {0, uint16_t((1 << 5) | 1)};
  const unsigned year = local.wYear > 2107 ? 127 : local.wYear - 1980;
  return {uint16_t((local.wHour << 11) | (local.wMinute << 5) | (local.wSecond / 2)),
          uint16_t((year << 9) | (local.wMonth << 5) | local.wDay)};
}

bool deflate_level9(const void* data, size_t size, std::string& out, api_error_cb* errors) {
  if (size > zip_limit) return too_large(errors, "entry");
  z_stream stream{};
  int rc = deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  if (rc != Z_OK) {
    if (errors) errors->report_api_error("deflateInit2", uint32_t(rc));
    return false;
  }
  out.resize(deflateBound(&stream, uLong(size)));
  stream.next_in = static_cast<Bytef*>(const_cast<void*>(data));
  stream.avail_in = uInt(size);
  stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
  stream.avail_out = uInt(out.size());
  rc = deflate(&stream, Z_FINISH);
  const uLong produced = stream.total_out;
  deflateEnd(&stream);
  if (rc != Z_STREAM_END) {
    if (errors) errors->report_api_error("deflate", uint32_t(rc));
    return false;
  }
  out.resize(produced);
  return true;
}

zip_writer::zip_writer(const SYSTEMTIME& packed_at) : stamp_(to_dos_date_time(packed_at)) {}

bool zip_writer::add(const char* name, const void* data, size_t size, api_error_cb* errors) {
  if (entries_ == entry_limit) return too_large(errors, "entries");
  if (size > zip_limit) return too_large(errors, "entry");
  const bool stored = size <= largest_stored_size;
  std::string packed;
  if (!stored && !deflate_level9(data, size, packed, errors)) return false;
  const void* bytes = stored ? data : packed.data();
  const size_t packed_size = stored ? size : packed.size();
  const size_t name_length = strlen(name);
  if (archive_.size() + sizeof(zip_local_header) + name_length + packed_size > zip_limit)
    return too_large(errors, "archive");

  zip_local_header local{};
  local.signature = zip_local_signature;
  local.version_needed = stored ? version_stored : version_deflated;
  local.method = stored ? zip_method_stored : zip_method_deflated;
  local.dos_time = stamp_.time;
  local.dos_date = stamp_.date;
  local.crc32 = uint32_t(crc32(0, static_cast<const Bytef*>(data), uInt(size)));
  local.compressed_size = uint32_t(packed_size);
  local.size = uint32_t(size);
  local.name_length = uint16_t(name_length);

  zip_central_header central{};
  central.signature = zip_central_signature;
  central.version_made_by = version_made_by;
  central.version_needed = local.version_needed;
  central.method = local.method;
  central.dos_time = local.dos_time;
  central.dos_date = local.dos_date;
  central.crc32 = local.crc32;
  central.compressed_size = local.compressed_size;
  central.size = local.size;
  central.name_length = local.name_length;
  central.local_header_offset = uint32_t(archive_.size());

  append_record(archive_, local);
  archive_.append(name, name_length);
  if (packed_size) archive_.append(static_cast<const char*>(bytes), packed_size);
  append_record(directory_, central);
  directory_.append(name, name_length);
  ++entries_;
  return true;
}

bool zip_writer::finish(std::string& archive, api_error_cb* errors) {
  if (archive_.size() + directory_.size() + sizeof(zip_end_record) > zip_limit) return too_large(errors, "archive");
  zip_end_record end{};
  end.signature = zip_end_signature;
  end.disk_entries = uint16_t(entries_);
  end.entries = uint16_t(entries_);
  end.directory_size = uint32_t(directory_.size());
  end.directory_offset = uint32_t(archive_.size());
  archive_ += directory_;
  append_record(archive_, end);
  archive.swap(archive_);
  archive_.clear();
  directory_.clear();
  entries_ = 0;
  return true;
}
