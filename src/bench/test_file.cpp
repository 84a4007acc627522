#include "bench/test_file.h"

#include <windows.h>

#include "bench/clocks.h"
#include "bench/data_buf.h"
#include "bench/io_file.h"
#include "bench/page_buffer.h"
#include "bench/profile_limits.h"
#include "support/optional_functions.h"
#include "support/text.h"

const wchar_t test_file_leaf[] = L"~folvi-benchmark.tmp";

std::wstring test_file_name(const std::wstring& location) {
  std::wstring name = location;
  if (name.empty() || (name.back() != L'\\' && name.back() != L'/')) name += L'\\';
  return name + test_file_leaf;
}

namespace {
bool extend_file(io_file& f, uint64_t size) { return f.seek(size) && f.set_end() && f.set_valid_data(size); }

// Returns false on a failed write or a cancel; `size` becomes the length reached in time.
bool fill_file(io_file& f, const test_def& def, test_runner_cb& cb, uint64_t& size, api_error_cb* errors) {
  const uint64_t start = qpc_now();
  const uint64_t limit = uint64_t(def.duration) * def.init_time_factor;  // both are 32-bit; the product may not be
  page_buffer buffer(creation_chunk);                                    // page-aligned for unbuffered writes
  if (!buffer.data) {
    if (errors) errors->report_api_error("VirtualAlloc", GetLastError(), "%lu", (unsigned long)creation_chunk);
    return false;
  }
  random_fill random;
  init_data_buf(buffer.data, creation_chunk, def.fill, random);
  uint64_t written = 0;
  while (written < size) {
    const uint64_t rest = size - written;
    const DWORD chunk = DWORD(rest < creation_chunk ? rest : creation_chunk);
    if (!f.write(buffer.data, chunk)) return false;
    written += chunk;
    if (!cb.on_init_progress(written, size)) return false;
    if (limit != 0 && qpc_to_msec(qpc_now() - start) > limit) {
      size = written;
      break;
    }
    if (def.fill == 3) bump_buffer(buffer.data, creation_chunk);
  }
  return true;
}
}  // namespace

bool create_test_file(const std::wstring& file_name, const test_def& def, uint32_t sector_size, test_runner_cb& cb,
                      logger& log, api_error_cb* errors) {
  uint64_t size = sector_file_size(def.file_size, sector_size);
  const std::string name = to_utf8(file_name);
  log.log(3, "Creating test file %s of %I64u bytes, fill = [%s] ...\n", name.c_str(), (unsigned long long)size,
          fill_name(def.fill));
  cb.on_init_progress(0, size);
  io_file f;
  if (!f.open(file_name, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_FLAG_NO_BUFFERING | FILE_ATTRIBUTE_NORMAL,
              errors))
    return false;
  if (def.fill == 4) {
    if (!extend_file(f, size)) return false;
  } else if (def.fill >= 1 && def.fill <= 3) {
    if (!fill_file(f, def, cb, size, errors)) return false;
  } else {
    if (errors) errors->report_api_error("CheckFillPattern", no_error_code, "%lu", (unsigned long)def.fill);
    return false;
  }
  f.flush();
  f.close();
  purge_file_cache(errors);
  cb.on_init_progress(size, size);
  log.log(3, "Created, size %I64u\n", (unsigned long long)size);
  return true;
}

bool purge_file_cache(api_error_cb* errors) {
  const optional_functions& f = load_optional_functions();
  if (!f.NtSetSystemInformation) return false;
  constexpr ULONG system_memory_list_information = 80;
  ULONG command = 4;  // MemoryPurgeStandbyList
  const LONG status = f.NtSetSystemInformation(system_memory_list_information, &command, sizeof command);
  if (status == 0) return true;
  if (errors) {
    const uint32_t code = f.RtlNtStatusToDosError ? f.RtlNtStatusToDosError(status) : uint32_t(status);
    errors->report_api_error("NtSetSystemInformation", code);
  }
  return false;
}
