#include "bench/run_test.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "bench/io_file.h"
#include "engine_support.h"
#include "golden.h"
#include "recorded_errors.h"

namespace {
// Writes a file of `size` bytes for run_test to work on.
void make_file(const std::wstring& path, uint64_t size) {
  io_file f;
  ASSERT_TRUE(f.open(path, GENERIC_WRITE, 0, CREATE_ALWAYS, 0, nullptr));
  std::vector<char> zeros(static_cast<size_t>(size));
  if (size) {
    ASSERT_TRUE(f.write(zeros.data(), DWORD(size)));
  }
}
}  // namespace

// One test on a file of file= bytes: size=, count=, fill=, read=0, sequential=0, raw=1. What it
// reports, what it moved, the failures it gave, and whether the process's handles are as before.
std::string run_case(const std::string& spec, const std::wstring& name) {
  const auto number = [&](const char* key, uint64_t otherwise) {
    const std::string v = spec_value(spec, key);
    return v.empty() ? otherwise : std::stoull(v);
  };
  make_file(name, number("file", 65536));
  const DWORD handles = process_handle_count();
  test_run run;
  run.buffer_size = uint32_t(number("size", 4096));
  run.buffer_count = uint32_t(number("count", 1));
  run.fill = uint32_t(number("fill", 3));
  run.read = number("read", 1) != 0;
  run.sequential = number("sequential", 1) != 0;
  run.open_flags = number("raw", 0) ? flag_no_buffering : 0;
  recorded_errors errors;
  const bool ok = run_test(name, run, &errors);
  std::string out = std::string("ok ") + (ok ? "1" : "0") + ", issued " + std::to_string(run.bytes_issued) + ", done " +
                    std::to_string(run.bytes_done) + ", started " + (run.t_start ? "yes" : "no") + ", rate " +
                    (run.rate > 0 ? "> 0" : "0") + ", handles " +
                    (process_handle_count() == handles ? "as before" : "changed") + "\n";
  // The checks' codes are whatever the system left behind: name and detail only.
  for (const api_error_info& e : errors.all) out += "  " + e.api + " [" + e.detail + "]\n";
  return out;
}

// Nothing to move, an unknown pattern, more buffers than a test can have or more memory are
// refused before the buffers; the largest a test can have runs; a short last request and a file
// smaller than one random request fail; more buffers than one wait takes, and than the file holds.
TEST(run_test, parameters_short_files_and_many_buffers) {
  scratch_dir dir(L"run_cases");
  const std::wstring name = dir.file(L"f.tmp");
  expect_cases("bench/run_test_cases.txt", [&](const std::string& spec) { return run_case(spec, name); });
}

TEST(run_test, write_patterns_reach_the_file) {
  scratch_dir dir(L"run_patterns");
  const std::wstring name = dir.file(L"f.tmp");
  make_file(name, 16384);
  test_run run;
  run.read = false;
  run.fill = 2;
  run.buffer_size = 8192;
  run.buffer_count = 1;
  ASSERT_TRUE(run_test(name, run, nullptr));
  io_file f;
  ASSERT_TRUE(f.open(name, GENERIC_READ, 0, OPEN_EXISTING, 0, nullptr));
  std::vector<uint8_t> back(16384);
  ASSERT_TRUE(f.read(back.data(), 16384));
  for (size_t i = 0; i < back.size(); ++i) ASSERT_EQ(back[i], uint8_t(i % 8192)) << i;
}

TEST(run_test, random_writes_never_repeat_across_the_buffers_of_a_test) {
  scratch_dir dir(L"run_random");
  const std::wstring name = dir.file(L"f.tmp");
  make_file(name, 4 * 65536);
  test_run run;
  run.read = false;
  run.buffer_size = 65536;
  run.buffer_count = 4;  // each buffer is written once
  ASSERT_TRUE(run_test(name, run, nullptr));
  io_file f;
  ASSERT_TRUE(f.open(name, GENERIC_READ, 0, OPEN_EXISTING, 0, nullptr));
  std::vector<uint64_t> words(4 * 65536 / 8);
  ASSERT_TRUE(f.read(words.data(), 4 * 65536));
  std::sort(words.begin(), words.end());
  EXPECT_EQ(std::adjacent_find(words.begin(), words.end()), words.end());
}

TEST(run_test, request_times_agree_with_the_rate) {
  scratch_dir dir(L"run_latency");
  const std::wstring name = dir.file(L"f.tmp");
  make_file(name, 32 * MiB);
  for (bool read : {true, false}) {
    for (uint32_t size : {4096u, 16384u}) {
      for (uint32_t count : {1u, 4u, 16u}) {
        test_run run;
        run.read = read;
        run.buffer_size = size;
        run.buffer_count = count;
        ASSERT_TRUE(run_test(name, run, nullptr));
        const latency_summary& l = run.latency;
        const std::string what = std::to_string(read) + " " + std::to_string(size) + " x " + std::to_string(count);
        ASSERT_EQ(l.count, run.bytes_done / size) << what;
        ASSERT_GE(l.count, 1000u) << what;
        EXPECT_GT(l.p50_us, 0) << what;
        EXPECT_LE(l.p50_us, l.p90_us) << what;
        EXPECT_LE(l.p90_us, l.p99_us) << what;
        EXPECT_LE(l.p99_us, l.p999_us) << what;
        EXPECT_LE(l.p999_us, l.max_us) << what;
        const double little_us = double(count) * size / run.rate * 1e6;
        EXPECT_NEAR(l.mean_us, little_us, 0.25 * little_us) << what << ", rate " << run.rate;
      }
    }
  }
  // Untimed, the same test leaves the latencies empty.
  test_run untimed;
  untimed.buffer_size = 4096;
  untimed.buffer_count = 4;
  ASSERT_TRUE(run_test(name, untimed, nullptr, 1, latency_timing::off));
  EXPECT_EQ(untimed.latency.count, 0u);
  EXPECT_EQ(untimed.latency.max_us, 0);
  // A failed test has none either.
  make_file(name, 65536 + 4096);
  test_run failed;
  failed.buffer_size = 65536;
  failed.buffer_count = 1;
  EXPECT_FALSE(run_test(name, failed, nullptr));
  EXPECT_EQ(failed.latency.count, 0u);
}
