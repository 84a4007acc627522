#include "bench/run_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "bench/io_file.h"
#include "engine_support.h"
#include "golden.h"
#include "recorded_errors.h"

namespace {
// Writes a file of `size` bytes for run_test to work on, or reads it back.
std::vector<uint8_t> file_bytes(const std::wstring& path, uint64_t size, bool write) {
  io_file f;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  EXPECT_TRUE(f.open(path, write ? GENERIC_WRITE : GENERIC_READ, 0, write ? CREATE_ALWAYS : OPEN_EXISTING, 0, nullptr));
  const bool moved = !size || (write ? f.write(bytes.data(), DWORD(size)) : f.read(bytes.data(), DWORD(size)));
  EXPECT_TRUE(moved);
  return bytes;
}

// The request times against the rate: one a request, in order, their mean what the rate and the
// buffers in flight say (checked on a thousand requests or more, 16 buffers at most).
std::string latencies(const test_run& run) {
  const latency_summary& l = run.latency;
  if (!l.count) return "  no latencies\n";
  const bool ordered =
      l.p50_us > 0 && l.p50_us <= l.p90_us && l.p90_us <= l.p99_us && l.p99_us <= l.p999_us && l.p999_us <= l.max_us;
  const double little_us = double(run.buffer_count) * run.buffer_size / run.rate * 1e6;
  return std::string("  latencies ") + (l.count == run.bytes_done / run.buffer_size ? "one a request" : "miscounted") +
         (ordered ? ", ordered" : ", out of order") +
         (l.count < 1000 || run.buffer_count > 16               ? ""
          : std::fabs(l.mean_us - little_us) < 0.25 * little_us ? ", mean as the rate says"
                                                                : ", mean off") +
         "\n";
}

// What a write left in the file: whether each byte is its offset's low byte, and how many
// distinct 8-byte words it holds.
std::string written(const std::wstring& name, uint64_t size) {
  const std::vector<uint8_t> back = file_bytes(name, size, false);
  bool offsets = true;
  for (size_t i = 0; i < back.size(); ++i) offsets = offsets && back[i] == uint8_t(i);
  std::vector<uint64_t> words(back.size() / 8);
  std::copy_n(back.data(), words.size() * 8, reinterpret_cast<uint8_t*>(words.data()));
  std::sort(words.begin(), words.end());
  const auto distinct = std::unique(words.begin(), words.end()) - words.begin();
  return std::string("  file ") + (offsets ? "of offsets" : "not of offsets") + ", " + std::to_string(distinct) +
         " distinct words\n";
}
}  // namespace

// One test on a file of file= bytes: size=, count=, fill=, read=0, sequential=0, raw=1, timing=off.
// What it reports, what it moved, the failures it gave, whether the process's handles are as
// before, its request times and, for a write, what reached the file.
std::string run_case(const std::string& spec, const std::wstring& name) {
  const auto number = [&](const char* key, uint64_t otherwise) {
    const std::string v = spec_value(spec, key);
    return v.empty() ? otherwise : std::stoull(v);
  };
  const uint64_t file = number("file", 65536);
  file_bytes(name, file, true);
  const DWORD handles = process_handle_count();
  test_run run;
  run.buffer_size = uint32_t(number("size", 4096));
  run.buffer_count = uint32_t(number("count", 1));
  run.fill = uint32_t(number("fill", 3));
  run.read = number("read", 1) != 0;
  run.sequential = number("sequential", 1) != 0;
  run.open_flags = number("raw", 0) ? flag_no_buffering : 0;
  recorded_errors errors;
  const bool ok = run_test(name, run, &errors, GetTickCount(),
                           spec_value(spec, "timing") == "off" ? latency_timing::off : latency_timing::on);
  std::string out = std::string("ok ") + (ok ? "1" : "0") + ", issued " + std::to_string(run.bytes_issued) + ", done " +
                    std::to_string(run.bytes_done) + ", started " + (run.t_start ? "yes" : "no") + ", rate " +
                    (run.rate > 0 ? "> 0" : "0") + ", handles " +
                    (process_handle_count() == handles ? "as before" : "changed") + "\n";
  // The checks' codes are whatever the system left behind: name and detail only.
  for (const api_error_info& e : errors.all) out += "  " + e.api + " [" + e.detail + "]\n";
  out += latencies(run);
  return run.read || !ok ? out : out + written(name, file);
}

// Nothing to move, an unknown pattern, more buffers than a test can have or more memory are
// refused before the buffers; the largest a test can have runs; a short last request and a file
// smaller than one random request fail; more buffers than one wait takes, and than the file holds;
// the patterns written; random writes never repeat across the buffers; request times.
TEST(run_test, parameters_short_files_many_buffers_patterns_and_latencies) {
  scratch_dir dir(L"run_cases");
  const std::wstring name = dir.file(L"f.tmp");
  expect_cases("bench/run_test_cases.txt", [&](const std::string& spec) { return run_case(spec, name); });
}
