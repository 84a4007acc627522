#include "run_records.h"

test_run completed(bool read, uint32_t count, uint32_t size, uint32_t flags, double rate) {
  test_run r;
  r.read = read;
  r.buffer_count = count;
  r.buffer_size = size;
  r.open_flags = flags;
  r.ok = true;
  r.rate = rate;
  return r;
}

test_run failed(bool read, uint32_t count, uint32_t size, uint32_t flags, const char* api, uint32_t code, double rate) {
  test_run r = completed(read, count, size, flags, rate);
  r.ok = false;
  r.error.api = api;
  r.error.code = code;
  return r;
}
