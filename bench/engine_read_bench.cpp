// Read rate of the engine's timed test against a bare overlapped-read loop, same file, size and depth.
// Prints: engine_bytes_per_sec bare_bytes_per_sec (medians of the rounds, interleaved).
// With --once it reads the first BYTES of the file (0: all of it) once with one of them and prints
// that rate, for a script that interleaves other peers or counts the system calls of a known number
// of requests; "untimed" is the engine without its per-request latency stamps, to show what they cost.
// The bare loop is the plain form of the loop: a reset per request, an event the system also posts
// to a completion port, and a wait before every collection.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

#include "bench/run_test.h"

namespace {
double bare_loop(const wchar_t* path, DWORD size, DWORD depth, uint64_t byte_limit) {
  HANDLE f = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 0;
  LARGE_INTEGER file_size, freq, t0, t1;
  GetFileSizeEx(f, &file_size);
  QueryPerformanceFrequency(&freq);
  std::vector<OVERLAPPED> ov(depth);
  std::vector<HANDLE> events(depth);
  // Page-aligned buffers as the engine must use for unbuffered requests: heap blocks sit elsewhere
  // in memory and copy at another speed, which would measure placement rather than code.
  std::vector<char*> buffers(depth);
  for (char*& b : buffers) {
    b = static_cast<char*>(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!b) {
      CloseHandle(f);
      return 0;  // the process ends at once; what was allocated goes with it
    }
    std::memset(b, 0, size);
  }
  std::vector<bool> busy(depth, false);
  uint64_t next = 0, done = 0;
  uint64_t limit = uint64_t(file_size.QuadPart);
  if (byte_limit != 0 && byte_limit < limit) limit = byte_limit;
  auto issue = [&](DWORD i) {
    ov[i] = OVERLAPPED{};
    ov[i].hEvent = events[i];
    ov[i].Offset = DWORD(next);
    ov[i].OffsetHigh = DWORD(next >> 32);
    ResetEvent(events[i]);
    next += size;
    if (!ReadFile(f, buffers[i], size, nullptr, &ov[i]) && GetLastError() != ERROR_IO_PENDING) return false;
    busy[i] = true;
    return true;
  };
  for (DWORD i = 0; i < depth; ++i) events[i] = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  QueryPerformanceCounter(&t0);
  DWORD in_flight = 0;
  std::vector<HANDLE> wait;
  wait.reserve(depth);  // no allocation inside the timed loop, as in the engine
  for (DWORD i = 0; i < depth && next < limit; ++i) in_flight += issue(i);
  while (in_flight) {
    wait.clear();
    for (DWORD i = 0; i < depth; ++i)
      if (busy[i]) wait.push_back(events[i]);
    WaitForMultipleObjects(DWORD(wait.size()), wait.data(), FALSE, INFINITE);
    for (DWORD i = 0; i < depth; ++i) {
      DWORD n = 0;
      if (!busy[i] || !GetOverlappedResult(f, &ov[i], &n, FALSE)) continue;
      busy[i] = false;
      --in_flight;
      done += n;
      if (next < limit && issue(i)) ++in_flight;
    }
  }
  QueryPerformanceCounter(&t1);
  for (HANDLE e : events) CloseHandle(e);
  for (char* b : buffers) VirtualFree(b, 0, MEM_RELEASE);
  CloseHandle(f);
  return double(done) * double(freq.QuadPart) / double(t1.QuadPart - t0.QuadPart);
}

double engine(const wchar_t* path, DWORD size, DWORD depth, uint64_t byte_limit,
              latency_timing timing = latency_timing::on) {
  test_run run;
  run.byte_limit = byte_limit;
  run.buffer_size = size;
  run.buffer_count = depth;
  run.open_flags = 0;  // "buf": the file stays in the page cache
  return run_test(path, run, nullptr, GetTickCount(), timing) ? run.rate : 0;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The engine with and without its latency stamps, alternating in one process, each first every
// other round; prints the best rate of each and the median of the rounds' ratios (timed over
// untimed). The two runs of a round see nearly the same load, so on a busy machine their ratio
// tells what the stamps cost where rates taken apart are lost in noise.
int timed_pair(int argc, wchar_t** argv) {
  if (argc < 7) return 2;
  const DWORD size = DWORD(wcstoul(argv[3], nullptr, 10));
  const DWORD depth = DWORD(wcstoul(argv[4], nullptr, 10));
  const uint64_t bytes = _wcstoui64(argv[5], nullptr, 10);
  const int rounds = int(wcstoul(argv[6], nullptr, 10));
  double best_timed = 0, best_untimed = 0;
  std::vector<double> ratios;
  for (int r = 0; r < rounds; ++r) {
    double timed = 0, untimed = 0;
    for (int k = 0; k < 2; ++k) {
      if ((r + k) % 2) timed = engine(argv[2], size, depth, bytes);
      else untimed = engine(argv[2], size, depth, bytes, latency_timing::off);
    }
    if (timed <= 0 || untimed <= 0) return 1;
    best_timed = std::max(best_timed, timed);
    best_untimed = std::max(best_untimed, untimed);
    ratios.push_back(timed / untimed);
  }
  if (ratios.empty()) return 2;
  std::printf("%.0f %.0f %.4f\n", best_timed, best_untimed, median(ratios));
  return 0;
}

int once(int argc, wchar_t** argv) {
  if (argc < 7) return 2;
  const DWORD size = DWORD(wcstoul(argv[4], nullptr, 10));
  const DWORD depth = DWORD(wcstoul(argv[5], nullptr, 10));
  const uint64_t bytes = _wcstoui64(argv[6], nullptr, 10);
  const double rate = wcscmp(argv[2], L"bare") == 0      ? bare_loop(argv[3], size, depth, bytes)
                      : wcscmp(argv[2], L"untimed") == 0 ? engine(argv[3], size, depth, bytes, latency_timing::off)
                                                         : engine(argv[3], size, depth, bytes);
  std::printf("%.0f\n", rate);
  return rate > 0 ? 0 : 1;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && wcscmp(argv[1], L"--once") == 0) return once(argc, argv);
  if (argc > 1 && wcscmp(argv[1], L"--timed-pair") == 0) return timed_pair(argc, argv);
  if (argc < 4) {
    std::fputs(
        "usage: engine-read-bench FILE SIZE COUNT [ROUNDS [BYTES]]\n"
        "       engine-read-bench --once engine|untimed|bare FILE SIZE COUNT BYTES\n"
        "       engine-read-bench --timed-pair FILE SIZE COUNT BYTES ROUNDS\n",
        stderr);
    return 2;
  }
  const DWORD size = DWORD(wcstoul(argv[2], nullptr, 10));
  const DWORD depth = DWORD(wcstoul(argv[3], nullptr, 10));
  const int rounds = argc > 4 ? int(wcstoul(argv[4], nullptr, 10)) : 5;
  const uint64_t bytes = argc > 5 ? _wcstoui64(argv[5], nullptr, 10) : 0;
  std::vector<double> ours, bare;
  // Interleaved so both see the same machine, and each goes first every other round.
  for (int r = 0; r < rounds; ++r) {
    if (r % 2) bare.push_back(bare_loop(argv[1], size, depth, bytes));
    ours.push_back(engine(argv[1], size, depth, bytes));
    if (r % 2 == 0) bare.push_back(bare_loop(argv[1], size, depth, bytes));
  }
  std::printf("%.0f %.0f\n", median(ours), median(bare));
  return 0;
}
