#include "bench/run_test.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "bench/io_file.h"
#include "engine_support.h"
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

TEST(run_test, bad_parameters_fail_cleanly) {
  scratch_dir dir(L"run_params");
  const std::wstring name = dir.file(L"f.tmp");
  make_file(name, 65536);
  // Nothing to move, an unknown pattern, more buffers than a test can have, or more memory.
  struct {
    uint32_t size, count, fill;
    bool read;
  } rows[] = {{0, 4, 3, true},       {4096, 0, 3, true},      {4096, 4, 4, false}, {1024, 100000000, 3, true},
              {4096, 1025, 3, true}, {64 << 20, 17, 3, false}};
  const DWORD handles = process_handle_count();
  for (const auto& r : rows) {
    test_run run;
    run.buffer_size = r.size;
    run.buffer_count = r.count;
    run.fill = r.fill;
    run.read = r.read;
    recorded_errors errors;
    EXPECT_FALSE(run_test(name, run, &errors));
    EXPECT_EQ(errors.all.size(), 1u);
    EXPECT_EQ(errors.last().api, "CheckTestParams");
    EXPECT_EQ(errors.last().detail,
              std::to_string(r.size) + " " + std::to_string(r.count) + " " + std::to_string(r.fill));
    EXPECT_EQ(run.rate, 0);
    EXPECT_EQ(run.t_start, 0);  // refused before the buffers
  }
  // The largest a test can have still runs.
  test_run most;
  most.buffer_size = 4096;
  most.buffer_count = 1024;
  EXPECT_TRUE(run_test(name, most, nullptr));
  EXPECT_EQ(most.bytes_done, 65536u);
  EXPECT_EQ(process_handle_count(), handles);
}

TEST(run_test, short_last_request_and_small_random_file) {
  scratch_dir dir(L"run_short");
  const std::wstring name = dir.file(L"f.tmp");
  make_file(name, 65536 + 4096);
  const DWORD handles = process_handle_count();
  test_run run;
  run.buffer_size = 65536;
  run.buffer_count = 4;
  recorded_errors errors;
  EXPECT_FALSE(run_test(name, run, &errors));
  EXPECT_EQ(errors.last().api, "CheckRequestResult");
  EXPECT_EQ(errors.last().detail, "4096 65536");
  EXPECT_EQ(errors.all.size(), 1u);

  make_file(name, 1000);
  test_run random;
  random.sequential = false;
  random.buffer_size = 4096;
  random.buffer_count = 2;
  EXPECT_FALSE(run_test(name, random, &errors));
  EXPECT_EQ(errors.last().api, "CheckRequestResult");
  EXPECT_EQ(process_handle_count(), handles);
}

TEST(run_test, more_buffers_than_the_wait_takes) {
  scratch_dir dir(L"run_many");
  const std::wstring name = dir.file(L"f.tmp");
  make_file(name, 4 * MiB);
  for (bool read : {true, false}) {
    test_run run;
    run.read = read;
    run.open_flags = flag_no_buffering;  // the buffers of one region keep to the sectors too
    run.buffer_size = 4096;
    run.buffer_count = 100;
    recorded_errors errors;
    EXPECT_TRUE(run_test(name, run, &errors)) << errors.last().api;
    EXPECT_EQ(run.bytes_done, 4 * MiB);
  }
  // More buffers than the file holds: only the first ones issue.
  test_run few;
  few.buffer_size = 1 * MiB;
  few.buffer_count = 8;
  EXPECT_TRUE(run_test(name, few, nullptr));
  EXPECT_EQ(few.bytes_issued, 4 * MiB);
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
