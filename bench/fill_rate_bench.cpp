// How fast a write test's buffers are filled with random data: the system's generator
// (random_bytes, how buffers were filled before) against the engine's fill (random_fill).
// Prints: random_bytes_bytes_per_sec random_fill_bytes_per_sec (best of the rounds).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "bench/random_fill.h"
#include "support/digest.h"

namespace {
constexpr size_t buffer_size = 64u << 20;  // the largest buffer memory a Quick combination uses

template <typename Fill>
double best_rate(uint8_t* buffer, int rounds, Fill fill) {
  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  double best = 0;
  for (int r = 0; r < rounds; ++r) {
    QueryPerformanceCounter(&t0);
    fill(buffer);
    QueryPerformanceCounter(&t1);
    const double rate = double(buffer_size) * double(freq.QuadPart) / double(t1.QuadPart - t0.QuadPart + 1);
    if (rate > best) best = rate;
  }
  return best;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? int(wcstoul(argv[1], nullptr, 10)) : 3;
  auto* buffer = static_cast<uint8_t*>(VirtualAlloc(nullptr, buffer_size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (!buffer) return 1;
  std::memset(buffer, 0, buffer_size);  // faulted in before either is timed
  const double system = best_rate(buffer, rounds, [](uint8_t* b) { random_bytes(b, buffer_size); });
  random_fill stream;
  const double ours = best_rate(buffer, rounds, [&stream](uint8_t* b) { stream.fill(b, buffer_size); });
  std::printf("%.0f %.0f\n", system, ours);
  VirtualFree(buffer, 0, MEM_RELEASE);
  return 0;
}
