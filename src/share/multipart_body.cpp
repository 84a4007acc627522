#include "share/multipart_body.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "support/api_error.h"
#include "support/fatal.h"
#include "support/scoped_win.h"
#include "support/text.h"

namespace {

constexpr char boundary_line[] = "--i-will-not-crash\r\n";
constexpr char disposition[] = "Content-Disposition: form-data; name=\"";
constexpr char text_header_end[] = "\"\r\n\r\n";
constexpr char file_name_start[] = "\"; filename=\"";
constexpr char file_header_end[] = "\"\r\nContent-Type: application/octet-stream\r\n\r\n";
constexpr char trailer[] = "\r\n--i-will-not-crash\r\n";

constexpr uint32_t length_of(const char* text) { return std::char_traits<char>::length(text); }

constexpr uint32_t text_overhead =
    length_of(boundary_line) + length_of(disposition) + length_of(text_header_end) + length_of(trailer);
constexpr uint32_t file_overhead = length_of(boundary_line) + length_of(disposition) + length_of(file_name_start) +
                                   length_of(file_header_end) + length_of(trailer);
static_assert(length_of(trailer) == 22, "trailer");
static_assert(text_overhead == 85, "text part overhead");
static_assert(file_overhead == 138, "file part overhead");
static_assert(sizeof multipart_content_type == 61, "content type header is 60 characters");

constexpr uint32_t heap_failure_code = 11111;

// Writes into the part of the body that the last resize added; never past its end.
class body_writer {
 public:
  body_writer(heap_buffer& body, uint32_t start) : body_(body), pos_(start) {}
  void put(const void* bytes, size_t n) {
    if (n > body_.size() - pos_) fatal("build_multipart_body.put");
    if (n) memcpy(body_.data() + pos_, bytes, n);
    pos_ += uint32_t(n);
  }
  void put(const char* text) { put(text, strlen(text)); }
  uint8_t* reserve_bytes(uint32_t n) {
    if (n > body_.size() - pos_) fatal("build_multipart_body.reserve_bytes");
    uint8_t* at = body_.data() + pos_;
    pos_ += n;
    return at;
  }
  void finish() {
    if (pos_ != body_.size()) fatal("build_multipart_body");
  }

 private:
  heap_buffer& body_;
  uint32_t pos_;
};

// Grows the body by one part; a size past 32 bits fails exactly like an allocation that fails.
bool grow_body(heap_buffer& body, uint64_t part_size, api_error_cb* errors) {
  const uint64_t wanted = uint64_t(body.size()) + part_size;
  if (body.resize(wanted)) return true;
  if (errors)
    errors->report_api_error("HeapAlloc", heap_failure_code, "%lu %llu", (unsigned long)body.size(),
                             (unsigned long long)wanted);
  return false;
}

enum class file_state { ready, skipped, failed };

// A file field's bytes: from memory, or an open file positioned at its first byte to send.
struct file_source {
  scoped_handle file;
  const void* memory = nullptr;
  uint32_t size = 0;
  std::string name;
};

file_state open_file_source(const form_part& part, file_source& source, api_error_cb* errors) {
  if (part.data) {
    source.memory = part.data;
    source.size = part.data_size;
    source.name = to_utf8(part.path);
    return file_state::ready;
  }
  HANDLE h =
      CreateFileW(part.path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    h = CreateFileW(part.path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return file_state::skipped;
  source.file.reset(h);
  LARGE_INTEGER size;
  if (!GetFileSizeEx(h, &size)) {
    if (errors) errors->report_api_error("GetFileSize", uint32_t(GetLastError()), part.path);
    return file_state::failed;
  }
  if (uint64_t(size.QuadPart) >= (uint64_t(1) << 32)) return file_state::skipped;
  source.size = uint32_t(size.QuadPart);
  if (part.tail_limit && part.tail_limit < source.size) {
    LARGE_INTEGER start;
    start.QuadPart = source.size - part.tail_limit;
    if (!SetFilePointerEx(h, start, nullptr, FILE_BEGIN)) {
      if (errors) errors->report_api_error("SetFilePointer", uint32_t(GetLastError()), part.path);
      return file_state::failed;
    }
    source.size = part.tail_limit;
  }
  const wchar_t* slash = wcsrchr(part.path, L'\\');
  source.name = to_utf8(slash ? slash + 1 : part.path);
  return file_state::ready;
}

bool copy_file_bytes(file_source& source, uint8_t* to, api_error_cb* errors) {
  if (source.memory) {
    if (source.size) memcpy(to, source.memory, source.size);
    return true;
  }
  DWORD done = 0;
  BOOL ok = source.size ? ReadFile(source.file.get(), to, source.size, &done, nullptr) : TRUE;
  DWORD error = GetLastError();
  source.file.reset();
  if (!ok) {
    if (errors) errors->report_api_error("ReadFile", uint32_t(error));
    return false;
  }
  if (done != source.size) {
    if (errors) errors->report_api_error("ReadFile2", uint32_t(source.size - done));
    return false;
  }
  return true;
}

bool add_text_part(const form_part& part, heap_buffer& body, api_error_cb* errors) {
  const size_t name_length = strlen(part.name), value_length = strlen(part.value);
  const uint32_t start = body.size();
  if (!grow_body(body, uint64_t(text_overhead) + name_length + value_length, errors)) return false;
  body_writer out(body, start);
  out.put(boundary_line);
  out.put(disposition);
  out.put(part.name, name_length);
  out.put(text_header_end);
  out.put(part.value, value_length);
  out.put(trailer);
  out.finish();
  return true;
}

bool add_file_part(const form_part& part, heap_buffer& body, api_error_cb* errors) {
  file_source source;
  file_state state = open_file_source(part, source, errors);
  if (state != file_state::ready) return state == file_state::skipped;
  const size_t name_length = strlen(part.name);
  const uint32_t start = body.size();
  // The file name is counted in the bytes that are written, not in characters.
  if (!grow_body(body, uint64_t(file_overhead) + name_length + source.name.size() + source.size, errors)) return false;
  body_writer out(body, start);
  out.put(boundary_line);
  out.put(disposition);
  out.put(part.name, name_length);
  out.put(file_name_start);
  out.put(source.name.data(), source.name.size());
  out.put(file_header_end);
  if (!copy_file_bytes(source, out.reserve_bytes(source.size), errors)) return false;
  out.put(trailer);
  out.finish();
  return true;
}

}  // namespace

const uint32_t text_part_overhead = text_overhead;
const uint32_t file_part_overhead = file_overhead;

bool build_multipart_body(const form_part* parts, heap_buffer& body, api_error_cb* errors) {
  for (const form_part* part = parts; part && part->name; ++part) {
    if (!*part->name) continue;
    if (part->path) {
      if (!add_file_part(*part, body, errors)) return false;
    } else if (part->value) {
      if (!add_text_part(*part, body, errors)) return false;
    }
  }
  return true;
}
