#include "bench/clocks.h"

#include <windows.h>

namespace {
uint64_t frequency() {
  static const uint64_t f = [] {
    LARGE_INTEGER li;
    QueryPerformanceFrequency(&li);
    return uint64_t(li.QuadPart);
  }();
  return f;
}
}  // namespace

uint64_t qpc_now() {
  LARGE_INTEGER li;
  QueryPerformanceCounter(&li);
  return uint64_t(li.QuadPart);
}

uint64_t qpc_to_msec(uint64_t ticks) { return ticks * 1000 / frequency(); }

uint64_t ticks_to_usec(uint64_t ticks, uint64_t f) {
  // Below 2^64 / 10^6 the product fits in 64 bits.
  if (ticks < 18446744073709ull) return ticks * 1000000 / f;
  return uint64_t(double(ticks) * 1000000.0 / double(f));
}

uint64_t usec_now() { return ticks_to_usec(qpc_now(), frequency()); }
