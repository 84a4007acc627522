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
