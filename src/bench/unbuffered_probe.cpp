#include "bench/unbuffered_probe.h"

#include <windows.h>

#include "bench/io_file.h"
#include "bench/page_buffer.h"
#include "bench/test_file.h"
#include "support/long_path.h"

const char* unbuffered_state_name(unbuffered_state state) {
  switch (state) {
    case unbuffered_state::enforced: return "enforced";
    case unbuffered_state::not_enforced: return "not enforced";
    default: return "unknown";
  }
}

unbuffered_state judge_unbuffered(unbuffered_reader& reader) {
  if (reader.read_at(0, probe_file_size) != 0) return unbuffered_state::unknown;
  const uint32_t odd_size = reader.read_at(0, 1);
  const uint32_t odd_offset = reader.read_at(1, 4096);
  if (odd_size == 0 || odd_offset == 0) return unbuffered_state::not_enforced;
  if (odd_size == ERROR_INVALID_PARAMETER && odd_offset == ERROR_INVALID_PARAMETER) return unbuffered_state::enforced;
  return unbuffered_state::unknown;
}

namespace {
class file_reader final : public unbuffered_reader {
 public:
  explicit file_reader(io_file& file) : file_(file) {}
  uint32_t read_at(uint64_t offset, uint32_t size) override {
    if (!buffer_.data || size > probe_file_size) return ERROR_NOT_ENOUGH_MEMORY;
    file_.last_api = nullptr;
    file_.last_error = 0;
    if (!file_.seek(offset)) return file_.last_error;
    // A short read was still accepted: only a refusal counts.
    if (file_.read(buffer_.data, size) || !file_.last_api) return 0;
    return file_.last_error ? file_.last_error : ERROR_GEN_FAILURE;
  }

 private:
  io_file& file_;
  page_buffer buffer_{probe_file_size};
};

// The probe file goes on every path out.
struct delete_on_exit {
  std::wstring name;
  ~delete_on_exit() { DeleteFileW(long_path(name).c_str()); }
};

bool write_probe_file(const std::wstring& name, api_error_cb* errors) {
  io_file f;
  if (!f.open(name, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, errors)) return false;
  page_buffer zeroes(probe_file_size);
  if (!zeroes.data) return false;
  return f.write(zeroes.data, probe_file_size) && f.flush();
}
}  // namespace

unbuffered_state probe_unbuffered(const std::wstring& location, api_error_cb* errors) {
  const std::wstring name = test_file_name(location);
  delete_on_exit cleanup{name};
  if (!write_probe_file(name, errors)) return unbuffered_state::unknown;
  io_file f;
  // The expected refusals are not failures: this handle reports nothing.
  if (!f.open(name, GENERIC_READ, 0, OPEN_EXISTING, FILE_FLAG_NO_BUFFERING | FILE_ATTRIBUTE_NORMAL, nullptr))
    return unbuffered_state::unknown;
  file_reader reader(f);
  return judge_unbuffered(reader);
}
