#include "storage/device_query.h"
#include "storage/little_endian.h"

#include <cstdio>
#include <cstring>

device_query::device_query(device_api& api, indenting_logger* log)
    : api_(api), log_(log), errors_(log), buffer_(query_buffer_size) {}

bool device_query::ioctl(api_handle h, DWORD code, const char* name, const void* in, DWORD in_size, void* out,
                         DWORD out_size, DWORD& returned) {
  log_->log(2, "%s\n", name);
  DWORD error = 0;
  const bool ok = timed_ioctl(h, code, name, in, in_size, out, out_size, returned, error);
  if (!ok) errors_.report_api_error("DeviceIoControl", error);
  return ok;
}

bool device_query::timed_ioctl(api_handle h, DWORD code, const char* name, const void* in, DWORD in_size, void* out,
                               DWORD out_size, DWORD& returned, DWORD& error) {
  const size_t record = begin_timing(name);
  error = 0;
  returned = 0;
  const bool ok = api_.device_io_control(h, code, in, in_size, out, out_size, returned, error);
  end_timing(record);
  last_error_ = ok ? 0 : error;
  return ok;
}

size_t device_query::begin_timing(const char* name) {
  timings_.push_back({name, api_.performance_counter(), 0});
  return timings_.size() - 1;
}

void device_query::end_timing(size_t record) {
  timing& t = timings_[record];
  t.elapsed = api_.performance_counter() - t.start;
}

void device_query::log_timings() {
  const int64_t frequency = api_.performance_frequency();
  log_->log(3, "--- IOCTL timing ---\n");
  for (const timing& t : timings_) {
    const uint64_t usec = frequency > 0 ? uint64_t(t.elapsed) * 1000000 / uint64_t(frequency) : 0;
    log_->log(3, "%-60s  %8I64u usec\n", t.name.c_str(), (unsigned long long)usec);
  }
}

bool device_query::check_response_size(uint64_t returned, uint32_t minimum, uint32_t maximum) {
  if (minimum <= returned && returned <= maximum) return true;
  errors_.report_api_error("CheckReponseSize", no_error_code, "%I64u %lu %lu", (unsigned long long)returned,
                           (unsigned long)minimum, (unsigned long)maximum);
  return false;
}

bool device_query::check_response_spec(const uint8_t* reply, DWORD returned, const response_spec& spec) {
  static const uint32_t widths[] = {1, 2, 4};
  const uint32_t width = widths[spec.count_width];
  if (uint64_t(spec.count_offset) + width > returned) {
    errors_.report_api_error("CheckResponseSpec", 11111 + uint32_t(spec.count_width), "%lu", (unsigned long)returned);
    return false;
  }
  uint32_t count = 0;
  if (spec.count_width == response_spec::count8) {
    count = reply[spec.count_offset];
  } else if (spec.count_width == response_spec::count16) {
    count = le16(reply + spec.count_offset);
  } else {
    count = le32(reply + spec.count_offset);
  }
  const uint64_t needed = uint64_t(spec.header_size) + uint64_t(count) * spec.element_size;
  if (count == 0 || needed <= returned) return true;
  errors_.report_api_error("CheckResponseSpec", 11114, "%lu %lu", (unsigned long)needed, (unsigned long)returned);
  return false;
}

std::string access_text(uint32_t access) {
  static const struct {
    uint32_t bit;
    const char* name;
  } names[] = {{0x80000000, "GR"}, {0x40000000, "GW"}, {0x00000001, "RD"}, {0x00000080, "RA"}};
  std::string text;
  for (const auto& n : names) {
    if (!(access & n.bit)) continue;
    if (!text.empty()) text += '+';
    text += n.name;
    access &= ~n.bit;
  }
  if (access) {
    if (!text.empty()) text += '+';
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", unsigned(access));
    text += hex;
  }
  return text;
}
