#include "bench/run_test.h"

#include <windows.h>

#include "bench/clocks.h"
#include "bench/data_buf.h"
#include "bench/io_file.h"
#include "bench/profile_limits.h"
#include "bench/request_slots.h"
#include "support/optional_functions.h"
#include "support/os_version.h"

namespace {
constexpr uint32_t mode_flag_bits = 0x38000000;
constexpr ULONG ioctl_lmr_disable_local_buffering = 0x140390;

void disable_redirector_buffering(HANDLE file) {
  const optional_functions& f = load_optional_functions();
  if (os_version_index() < 4 || !f.NtFsControlFile) return;
  struct {
    ULONG_PTR status;
    ULONG_PTR information;
  } io{};
  LONG status = f.NtFsControlFile(file, nullptr, nullptr, nullptr, &io, ioctl_lmr_disable_local_buffering, nullptr, 0,
                                  nullptr, 0);
  if (status >= 0) WaitForSingleObject(file, INFINITE);
}

// Parameters that could never give a result, or more buffers than a test can have, are refused
// before the file is touched and anything is allocated.
bool check_parameters(const test_run& run, api_error_cb* errors) {
  const bool usable = run.buffer_size != 0 && run.buffer_count != 0 && (run.read || (run.fill >= 1 && run.fill <= 3));
  const bool within_limits =
      run.buffer_count <= most_buffers && uint64_t(run.buffer_size) * run.buffer_count <= most_buffer_memory;
  if (usable && within_limits) return true;
  if (errors)
    errors->report_api_error("CheckTestParams", no_error_code, "%lu %lu %lu", (unsigned long)run.buffer_size,
                             (unsigned long)run.buffer_count, (unsigned long)run.fill);
  return false;
}

struct test_state {
  io_file file;
  request_slots slots;
  test_run& run;
  rand15 offsets;
  uint64_t cursor = 0;
  uint64_t limit = 0;
  const bool timed;
  latency_histogram latency;

  test_state(test_run& r, uint32_t offset_seed, bool timing) : run(r), offsets(offset_seed), timed(timing) {}

  uint64_t next_offset() { return choose_offset(run.buffer_size, run.sequential, cursor, limit, offsets); }

  // `now`: the counter just before the request goes out, when requests are timed.
  bool issue(request_slot& s, uint64_t now) {
    if (!run.read && run.fill == 3) bump_buffer(s.buffer, run.buffer_size);
    bool pending = false;  // finished at once or not, the request's event is set when it is done
    s.issued_at = now;
    const bool ok = run.read ? file.read_async(s.buffer, run.buffer_size, s.overlapped, pending)
                             : file.write_async(s.buffer, run.buffer_size, s.overlapped, pending);
    if (!ok) return false;
    s.in_flight = true;
    run.bytes_issued += run.buffer_size;
    return true;
  }

  // One completed request; false ends the test.
  bool collect(request_slot& s, uint32_t transferred, uint32_t& active) {
    s.in_flight = false;
    if (transferred != run.buffer_size) {
      if (file.error_cb)
        file.error_cb->report_api_error("CheckRequestResult", GetLastError(), "%lu %lu", (unsigned long)transferred,
                                        (unsigned long)run.buffer_size);
      return false;
    }
    run.bytes_done += transferred;
    // One stamp per request: it ends this request's time, starts that of the slot's next request
    // (issued a few instructions later) and tells whether the time is up.
    const uint64_t now = timed || run.duration != 0 ? qpc_now() : 0;
    if (timed) latency.record(now - s.issued_at);
    // The request issued next resets the event; a slot that goes idle clears it (other slots may share it).
    set_overlapped_offset(s.overlapped, next_offset(), event_reset::by_next_request);
    if (cursor >= limit || (run.duration != 0 && qpc_to_msec(now - uint64_t(run.t_open)) > run.duration)) {
      s.active = false;
      --active;
      slots.idle(s);
      return true;
    }
    cursor += run.buffer_size;
    return issue(s, now);
  }
};
}  // namespace

bool run_test(const std::wstring& file_name, test_run& run, api_error_cb* errors) {
  return run_test(file_name, run, errors, GetTickCount());
}

bool run_test(const std::wstring& file_name, test_run& run, api_error_cb* errors, uint32_t offset_seed,
              latency_timing timing) {
  run.t_open = int64_t(qpc_now());
  if (!check_parameters(run, errors)) return false;

  test_state t(run, offset_seed, timing == latency_timing::on);
  const DWORD flags = (run.open_flags & mode_flag_bits) | FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL;
  if (!t.file.open(file_name, run.read ? GENERIC_READ : GENERIC_WRITE, 0, OPEN_EXISTING, flags, errors)) return false;
  uint64_t size = 0;
  if (!t.file.get_size(size)) return false;
  if (run.remote) disable_redirector_buffering(t.file.handle);
  t.limit = (run.byte_limit != 0 && run.byte_limit < size) ? run.byte_limit : size;

  if (const char* failed = t.slots.prepare(run.buffer_count, run.buffer_size)) {
    if (errors)
      errors->report_api_error(failed, GetLastError(), "%lu %lu", (unsigned long)run.buffer_count,
                               (unsigned long)run.buffer_size);
    return false;
  }
  t.slots.attach(t.file.handle);
  random_fill random;  // one stream for all buffers of the test: none repeats another
  for (request_slot& s : t.slots.slots) {
    // The events are new and not signalled yet.
    set_overlapped_offset(s.overlapped, t.next_offset(), event_reset::by_next_request);
    if (t.cursor < t.limit) {
      if (!run.read) init_data_buf(s.buffer, run.buffer_size, run.fill, random);
      s.active = true;
    }
    t.cursor += run.buffer_size;
  }

  run.t_start = int64_t(qpc_now());
  uint32_t active = 0;
  for (request_slot& s : t.slots.slots) {
    if (!s.active) continue;
    if (!t.issue(s, t.timed ? qpc_now() : 0)) return false;
    ++active;
  }
  while (active != 0) {
    // Requests that finish at once need no wait: look before asking the system.
    if (!t.slots.any_finished()) t.slots.wait_any();
    for (request_slot& s : t.slots.slots) {
      if (!s.active || !s.in_flight) continue;
      uint32_t transferred = 0;
      if (!t.file.overlapped_result(s.overlapped, transferred)) {
        s.in_flight = false;
        return false;
      }
      if (transferred == transfer_in_flight) continue;
      if (!t.collect(s, transferred, active)) return false;
    }
  }

  if (run.bytes_done != run.bytes_issued) {
    if (errors)
      errors->report_api_error("CheckTestResult", GetLastError(), "%lu %lu", (unsigned long)uint32_t(run.bytes_done),
                               (unsigned long)uint32_t(run.bytes_issued));
    return false;
  }
  if (!run.read && run.flush) t.file.flush();
  run.t_end = int64_t(qpc_now());
  t.file.close();
  run.t_closed = int64_t(qpc_now());
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  // A test too short for the clock still gets a finite rate.
  const double timed = run.t_end > run.t_start ? double(run.t_end - run.t_start) : 1.0;
  const double total = run.t_closed > run.t_open ? double(run.t_closed - run.t_open) : 1.0;
  run.rate = double(run.bytes_done) * double(f.QuadPart) / timed;
  run.rate_total = double(run.bytes_done) * double(f.QuadPart) / total;
  run.latency = t.latency.summary(uint64_t(f.QuadPart));
  return true;
}
