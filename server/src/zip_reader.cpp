#include "zip_reader.h"

#include <zlib.h>

#include "byte_reader.h"

namespace {

constexpr uint32_t local_signature = 0x04034b50;
constexpr uint32_t central_signature = 0x02014b50;
constexpr uint32_t end_signature = 0x06054b50;
constexpr size_t local_header_size = 30;
constexpr size_t central_header_size = 46;
constexpr size_t end_record_size = 22;
// Bits 1 and 2 only tune Deflate, bit 11 marks UTF-8 names; everything else (encryption, data
// descriptors, patches, masked headers) changes how the bytes must be read.
constexpr uint16_t allowed_flags = 0x0806;
// Callers cap sizes far below this; it only keeps the buffer arithmetic in range.
constexpr uint32_t max_extracted_size = 1u << 30;

bool fail(std::string& error, std::string reason) {
  error = std::move(reason);
  return false;
}

struct end_record {
  uint16_t entry_count = 0;
  uint32_t directory_size = 0;
  uint32_t directory_offset = 0;
};

bool read_end_record(std::string_view archive, end_record& end, std::string& error) {
  if (archive.size() < end_record_size) return fail(error, "not a ZIP archive (too short)");
  size_t at = archive.size() - end_record_size;
  if (read_u32(archive, at) != end_signature)
    return fail(error, "not a ZIP archive (no end record at its end, or a comment)");
  uint16_t this_disk = read_u16(archive, at + 4);
  uint16_t directory_disk = read_u16(archive, at + 6);
  uint16_t entries_here = read_u16(archive, at + 8);
  end.entry_count = read_u16(archive, at + 10);
  end.directory_size = read_u32(archive, at + 12);
  end.directory_offset = read_u32(archive, at + 16);
  uint16_t comment_length = read_u16(archive, at + 20);
  if (comment_length != 0) return fail(error, "archive comment not accepted");
  if (this_disk != 0 || directory_disk != 0 || entries_here != end.entry_count)
    return fail(error, "multi-part archives not accepted");
  if (end.entry_count == 0xFFFF || end.directory_size == 0xFFFFFFFF || end.directory_offset == 0xFFFFFFFF)
    return fail(error, "ZIP64 archives not accepted");
  if (uint64_t{end.directory_offset} + end.directory_size != at)
    return fail(error, "central directory does not end where the end record begins");
  return true;
}

// One central record at `at`; advances `at` past it.
bool read_central_record(std::string_view archive, size_t& at, size_t directory_end, const zip_directory_limits& limits,
                         zip_entry& entry, uint32_t& local_offset, uint16_t& flags, std::string& error) {
  std::string_view directory = archive.substr(0, directory_end);
  if (!fits(directory, at, central_header_size) || read_u32(archive, at) != central_signature)
    return fail(error, "damaged central directory");
  flags = read_u16(archive, at + 8);
  entry.method = read_u16(archive, at + 10);
  entry.crc = read_u32(archive, at + 16);
  entry.compressed_size = read_u32(archive, at + 20);
  entry.size = read_u32(archive, at + 24);
  uint16_t name_length = read_u16(archive, at + 28);
  uint16_t extra_length = read_u16(archive, at + 30);
  uint16_t comment_length = read_u16(archive, at + 32);
  uint16_t start_disk = read_u16(archive, at + 34);
  local_offset = read_u32(archive, at + 42);
  size_t variable = size_t{name_length} + extra_length + comment_length;
  if (!fits(directory, at + central_header_size, variable)) return fail(error, "damaged central directory");
  if (name_length == 0 || name_length > limits.max_name_length) return fail(error, "entry name empty or too long");
  entry.name.assign(archive.substr(at + central_header_size, name_length));
  if (flags & ~allowed_flags) {
    if (flags & 1) return fail(error, "encrypted entries not accepted");
    if (flags & 8) return fail(error, "entries with data descriptors not accepted");
    return fail(error, "entry flags not accepted");
  }
  if (entry.method != 0 && entry.method != 8)
    return fail(error, "compression method " + std::to_string(entry.method) + " not accepted");
  if (entry.method == 0 && entry.compressed_size != entry.size) return fail(error, "stored entry whose sizes differ");
  if (start_disk != 0) return fail(error, "multi-part archives not accepted");
  at += central_header_size + variable;
  return true;
}

// The local header at `offset` must repeat the central record; returns the end of its data.
bool check_local_header(std::string_view archive, size_t offset, size_t data_limit, uint16_t flags, zip_entry& entry,
                        size_t& data_end, std::string& error) {
  std::string_view before_directory = archive.substr(0, data_limit);
  if (!fits(before_directory, offset, local_header_size) || read_u32(archive, offset) != local_signature)
    return fail(error, "local header missing for " + entry.name);
  uint16_t name_length = read_u16(archive, offset + 26);
  uint16_t extra_length = read_u16(archive, offset + 28);
  size_t name_at = offset + local_header_size;
  if (read_u16(archive, offset + 6) != flags || read_u16(archive, offset + 8) != entry.method ||
      read_u32(archive, offset + 14) != entry.crc || read_u32(archive, offset + 18) != entry.compressed_size ||
      read_u32(archive, offset + 22) != entry.size || name_length != entry.name.size() ||
      !fits(before_directory, name_at, name_length) || archive.substr(name_at, name_length) != entry.name)
    return fail(error, "local header disagrees with the central directory");
  size_t data_at = name_at + name_length + extra_length;
  if (!fits(before_directory, data_at, entry.compressed_size))
    return fail(error, "entry data runs past the central directory");
  entry.data_offset = static_cast<uint32_t>(data_at);
  data_end = data_at + entry.compressed_size;
  return true;
}

struct inflate_stream {
  z_stream z{};
  bool ready = false;
  inflate_stream() { ready = inflateInit2(&z, -MAX_WBITS) == Z_OK; }
  ~inflate_stream() {
    if (ready) inflateEnd(&z);
  }
  inflate_stream(const inflate_stream&) = delete;
  inflate_stream& operator=(const inflate_stream&) = delete;
};

bool inflate_exactly(std::string_view compressed, uint32_t size, std::string& out, std::string& error) {
  inflate_stream stream;
  if (!stream.ready) return fail(error, "inflate could not start");
  // One byte more than declared: a stream that fills it says more than it declared.
  out.assign(size_t{size} + 1, '\0');
  stream.z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
  stream.z.avail_in = static_cast<uInt>(compressed.size());
  stream.z.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.z.avail_out = static_cast<uInt>(out.size());
  int result = Z_OK;
  while (result == Z_OK) {
    uInt in_before = stream.z.avail_in, out_before = stream.z.avail_out;
    result = inflate(&stream.z, Z_NO_FLUSH);
    if (result == Z_OK && stream.z.avail_in == in_before && stream.z.avail_out == out_before)
      break;  // no progress: input ended or output is full
  }
  if (stream.z.total_out > size) return fail(error, "inflates to more than its declared size");
  if (result == Z_DATA_ERROR) return fail(error, "damaged compressed data");
  if (result != Z_STREAM_END && result != Z_OK && result != Z_BUF_ERROR) return fail(error, "inflate failed");
  if (result != Z_STREAM_END) return fail(error, "compressed data ends early");
  if (stream.z.total_out != size) return fail(error, "inflates to less than its declared size");
  if (stream.z.avail_in != 0) return fail(error, "bytes after the end of the compressed data");
  out.resize(size);
  return true;
}

}  // namespace

bool read_zip_directory(std::string_view archive, const zip_directory_limits& limits, std::vector<zip_entry>& entries,
                        std::string& error) {
  entries.clear();
  end_record end;
  if (!read_end_record(archive, end, error)) return false;
  if (end.entry_count == 0) return fail(error, "empty archive");
  if (end.entry_count > limits.max_entries) return fail(error, "too many entries");
  size_t directory_end = size_t{end.directory_offset} + end.directory_size;
  size_t at = end.directory_offset;
  size_t next_local = 0;  // entries must follow each other from the first byte on
  for (uint16_t i = 0; i < end.entry_count; ++i) {
    zip_entry entry;
    uint32_t local_offset = 0;
    uint16_t flags = 0;
    if (!read_central_record(archive, at, directory_end, limits, entry, local_offset, flags, error)) return false;
    if (local_offset != next_local)
      return fail(error, local_offset < next_local ? "overlapping entries" : "gap between entries");
    if (!check_local_header(archive, local_offset, end.directory_offset, flags, entry, next_local, error)) return false;
    entries.push_back(std::move(entry));
  }
  if (at != directory_end) return fail(error, "central directory holds more than its entries");
  if (next_local != end.directory_offset) return fail(error, "gap before the central directory");
  return true;
}

bool extract_zip_entry(std::string_view archive, const zip_entry& entry, std::string& out, std::string& error) {
  if (!fits(archive, entry.data_offset, entry.compressed_size)) return fail(error, "entry data outside the archive");
  if (entry.size > max_extracted_size) return fail(error, entry.name + ": too large");
  std::string_view data = archive.substr(entry.data_offset, entry.compressed_size);
  if (entry.method == 0) {
    out.assign(data);
  } else if (!inflate_exactly(data, entry.size, out, error)) {
    error = entry.name + ": " + error;
    return false;
  }
  uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(out.data()), static_cast<uInt>(out.size()));
  if (crc != entry.crc) return fail(error, entry.name + ": CRC-32 mismatch");
  return true;
}
