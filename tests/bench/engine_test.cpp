#include <gtest/gtest.h>

#include <algorithm>

#include "bench/data_buf.h"
#include "bench/io_file.h"
#include "bench/run_test.h"
#include "bench/test_file.h"
#include "bench/test_runner.h"
#include "engine_support.h"
#include "recorded_errors.h"
#include "support/text.h"

namespace {
constexpr uint64_t MiB = 1024 * 1024;

// A small profile: 2 sizes x 2 counts, "raw" + "buf seq" reads, "raw" + "raw seq" writes.
test_def small_profile(const std::wstring& path) {
  test_def d;
  d.path = path;
  d.file_size = 2 * MiB;
  d.buffer_sizes = {4096, 65536};
  d.buffer_counts = {1, 4};
  d.duration = 0;
  d.update_counts();
  return d;
}

bool failing_purge(api_error_cb* errors) {
  if (errors) errors->report_api_error("NtSetSystemInformation", ERROR_PRIVILEGE_NOT_HELD);
  return false;
}

int purges = 0;
bool counting_purge(api_error_cb*) {
  ++purges;
  return true;
}

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

TEST(test_file, names) {
  EXPECT_EQ(test_file_name(L"D:\\"), L"D:\\~folvi-benchmark.tmp");
  EXPECT_EQ(test_file_name(L"D:\\bench"), L"D:\\bench\\~folvi-benchmark.tmp");
  EXPECT_EQ(test_file_name(L"D:/bench/"), L"D:/bench/~folvi-benchmark.tmp");
}

TEST(test_file, chunks_progress_and_log) {
  scratch_dir dir(L"create_chunks");
  test_def d = small_profile(dir.path());
  d.file_size = 3 * 16 * MiB + 4096;
  d.init_time_factor = 0;
  recording_runner cb;
  captured_log log;
  const std::wstring name = test_file_name(dir.path());
  ASSERT_TRUE(create_test_file(name, d, test_sector_size, cb, *log.log, nullptr));
  const uint64_t S = d.file_size;
  EXPECT_EQ(cb.progress, (std::vector<std::pair<uint64_t, uint64_t>>{
                             {0, S}, {16 * MiB, S}, {32 * MiB, S}, {48 * MiB, S}, {S, S}, {S, S}}));
  io_file f;
  ASSERT_TRUE(f.open(name, GENERIC_READ, 0, OPEN_EXISTING, 0, nullptr));
  uint64_t size = 0;
  ASSERT_TRUE(f.get_size(size));
  EXPECT_EQ(size, S);
  f.close();
  EXPECT_EQ(log.text(), "3 Creating test file " + to_utf8(name) + " of 50335744 bytes, fill = [random] ...\n" +
                            "3 Created, size 50335744\n");
}

TEST(test_file, time_limit_stops_after_a_chunk) {
  scratch_dir dir(L"create_limited");
  test_def d = small_profile(dir.path());
  d.file_size = 256 * MiB;
  d.duration = 1;
  d.init_time_factor = 1;
  recording_runner cb;
  captured_log log;
  ASSERT_TRUE(create_test_file(test_file_name(dir.path()), d, test_sector_size, cb, *log.log, nullptr));
  const uint64_t final_size = cb.progress.back().first;
  EXPECT_EQ(final_size % (16 * MiB), 0u);
  EXPECT_LT(final_size, d.file_size);
  EXPECT_EQ(cb.progress.size(), final_size / (16 * MiB) + 2);
  EXPECT_NE(log.text().find("3 Created, size " + std::to_string(final_size) + "\n"), std::string::npos);
}

bool set_privilege(const wchar_t* name, bool enable) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  TOKEN_PRIVILEGES tp{};
  tp.PrivilegeCount = 1;
  tp.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
  const bool ok = LookupPrivilegeValueW(nullptr, name, &tp.Privileges[0].Luid) &&
                  AdjustTokenPrivileges(token, FALSE, &tp, sizeof tp, nullptr, nullptr) &&
                  GetLastError() == ERROR_SUCCESS;
  CloseHandle(token);
  return ok;
}

uint64_t size_of(const std::wstring& path) {
  io_file f;
  uint64_t size = 0;
  if (!f.open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0, nullptr) || !f.get_size(size)) return ~0ull;
  return size;
}

TEST(test_file, empty_and_extend) {
  scratch_dir dir(L"create_empty");
  const std::wstring name = test_file_name(dir.path());
  test_def d = small_profile(dir.path());
  d.file_size = 0;
  recording_runner cb;
  captured_log log;
  ASSERT_TRUE(create_test_file(name, d, test_sector_size, cb, *log.log, nullptr));
  EXPECT_EQ(cb.progress, (std::vector<std::pair<uint64_t, uint64_t>>{{0, 0}, {0, 0}}));
  EXPECT_EQ(size_of(name), 0u);

  // "extend" sets the length and the valid data without writing, which needs the volume privilege.
  d.file_size = 64 * MiB;
  d.fill = 4;
  ASSERT_TRUE(set_privilege(L"SeManageVolumePrivilege", false));
  recording_runner refused;
  captured_log refused_log;
  api_error_logger errors(refused_log.log);
  EXPECT_FALSE(create_test_file(name, d, test_sector_size, refused, *refused_log.log, &errors));
  EXPECT_EQ(refused_log.text(), "3 Creating test file " + to_utf8(name) + " of 67108864 bytes, fill = [extend] ...\n" +
                                    "0 SetFileValidData() failed with 1314, 67108864\n");

  if (!set_privilege(L"SeManageVolumePrivilege", true)) GTEST_SKIP() << "the token lacks SeManageVolumePrivilege";
  recording_runner extended;
  ASSERT_TRUE(create_test_file(name, d, test_sector_size, extended, *log.log, &errors));
  EXPECT_EQ(extended.progress, (std::vector<std::pair<uint64_t, uint64_t>>{{0, 64 * MiB}, {64 * MiB, 64 * MiB}}));
  EXPECT_EQ(size_of(name), 64 * MiB);
}

TEST(test_file, size_rounded_to_whole_sectors) {
  scratch_dir dir(L"create_sectors");
  const std::wstring name = test_file_name(dir.path());
  struct { uint64_t asked, made; } rows[] = {{2 * MiB + 1000, 2 * MiB}, {1000, 4096}, {16 * MiB + 4096, 16 * MiB + 4096}};
  for (const auto& r : rows) {
    test_def d = small_profile(dir.path());
    d.file_size = r.asked;
    d.init_time_factor = 0;
    recording_runner cb;
    captured_log log;
    api_error_logger errors(log.log);
    ASSERT_TRUE(create_test_file(name, d, test_sector_size, cb, *log.log, &errors)) << r.asked << "\n" << log.text();
    EXPECT_EQ(size_of(name), r.made);
    EXPECT_EQ(cb.progress.back(), std::make_pair(r.made, r.made));
    EXPECT_NE(log.text().find(" of " + std::to_string(r.made) + " bytes, fill"), std::string::npos) << log.text();
  }
}

TEST(execute_tests, small_run_completes_and_deletes_its_file) {
  scratch_dir dir(L"run_small");
  test_def d = small_profile(dir.path());
  recording_runner cb;
  captured_log log;
  const DWORD handles = process_handle_count();
  ASSERT_TRUE(execute_tests(d, cb, *log.log));
  EXPECT_EQ(process_handle_count(), handles);
  EXPECT_EQ(cb.phases, (std::vector<bool>{true, false}));
  ASSERT_EQ(cb.runs.size(), size_t(d.read_tests + d.write_tests));
  for (const test_run& r : cb.runs) {
    EXPECT_TRUE(r.ok) << r.error.api << " " << r.error.code << " " << r.error.detail;
    EXPECT_EQ(r.bytes_done, 2 * MiB);
    EXPECT_EQ(r.bytes_issued, 2 * MiB);
    EXPECT_GT(r.rate, 0);
    EXPECT_GT(r.rate_total, 0);
    EXPECT_LE(r.t_open, r.t_start);
    EXPECT_LE(r.t_end, r.t_closed);
  }
  EXPECT_EQ(cb.runs[0].open_flags, 0x20000000u);
  EXPECT_EQ(cb.runs[1].open_flags, 0x08000000u);
  EXPECT_FALSE(cb.runs[8].read);
  EXPECT_FALSE(file_exists(test_file_name(dir.path())));
  const std::string text = log.text();
  EXPECT_NE(text.find("3 Running read tests, 8 combos ...\n"), std::string::npos);
  EXPECT_NE(text.find("3 Running write tests, 8 combos ...\n"), std::string::npos);
  EXPECT_NE(text.find("3 Completed, ok = 1\n"), std::string::npos);
}

TEST(execute_tests, failed_creation) {
  scratch_dir dir(L"run_missing");
  test_def d = small_profile(dir.file(L"no-such-folder"));
  recording_runner cb;
  captured_log log;
  const DWORD handles = process_handle_count();
  EXPECT_FALSE(execute_tests(d, cb, *log.log));
  EXPECT_EQ(process_handle_count(), handles);
  EXPECT_TRUE(cb.phases.empty());
  const std::string name = to_utf8(test_file_name(d.path));
  EXPECT_NE(log.text().find("0 CreateFile() failed with 3, " + name + " c0000000 00000000 00000002 20000080\n"),
            std::string::npos)
      << log.text();
  EXPECT_NE(log.text().find("3 Completed, ok = 0\n"), std::string::npos);
}

TEST(execute_tests, cancel_during_preparation) {
  scratch_dir dir(L"run_cancel_prep");
  test_def d = small_profile(dir.path());
  d.file_size = 40 * MiB;
  recording_runner cb;
  cb.cancel_progress_at = 1;
  captured_log log;
  EXPECT_FALSE(execute_tests(d, cb, *log.log));
  EXPECT_EQ(cb.progress.size(), 2u);
  EXPECT_TRUE(cb.runs.empty());
  EXPECT_FALSE(file_exists(test_file_name(dir.path())));
}

TEST(execute_tests, plain_cancel_ends_the_phase_only) {
  scratch_dir dir(L"run_cut_phase");
  test_def d = small_profile(dir.path());
  recording_runner cb;
  cb.cut_test_at = 2;
  captured_log log;
  EXPECT_TRUE(execute_tests(d, cb, *log.log));
  ASSERT_EQ(cb.runs.size(), size_t(3 + d.write_tests));
  EXPECT_TRUE(cb.runs[2].read);
  EXPECT_FALSE(cb.runs[3].read);
  EXPECT_EQ(cb.phases, (std::vector<bool>{true, false}));
  EXPECT_FALSE(file_exists(test_file_name(dir.path())));
}

TEST(execute_tests, stopped_phase_ends_the_run) {
  scratch_dir dir(L"run_stop");
  test_def d = small_profile(dir.path());
  recording_runner cb;
  cb.stop_phase_at = 1;
  captured_log log;
  EXPECT_FALSE(execute_tests(d, cb, *log.log));
  EXPECT_EQ(cb.runs.size(), size_t(d.read_tests));
  EXPECT_NE(log.text().find("3 Completed, ok = 0\n"), std::string::npos);
  EXPECT_FALSE(file_exists(test_file_name(dir.path())));
}

TEST(execute_tests, failed_purge_runs_no_test) {
  scratch_dir dir(L"run_purge");
  test_def d = small_profile(dir.path());
  recording_runner cb;
  captured_log log;
  EXPECT_FALSE(execute_tests(d, cb, *log.log, failing_purge));
  EXPECT_TRUE(cb.runs.empty());
  EXPECT_NE(log.text().find("0 NtSetSystemInformation() failed with 1314\n"), std::string::npos);
  EXPECT_FALSE(file_exists(test_file_name(dir.path())));
}

TEST(execute_tests, cache_control) {
  scratch_dir dir(L"run_cache");
  struct { uint32_t trim; bool remote; int purges; } rows[] = {{1, false, 0}, {2, false, 16}, {2, true, 0}, {3, true, 16}};
  for (const auto& r : rows) {
    test_def d = small_profile(dir.path());
    d.cache_trim = r.trim;
    d.remote = r.remote;
    recording_runner cb;
    captured_log log;
    purges = 0;
    EXPECT_TRUE(execute_tests(d, cb, *log.log, counting_purge));
    EXPECT_EQ(purges, r.purges) << r.trim << " " << r.remote;
  }
}

TEST(execute_tests, empty_read_phase_still_asks) {
  scratch_dir dir(L"run_empty_read");
  test_def d = small_profile(dir.path());
  d.read_modes = 0;
  d.update_counts();
  recording_runner cb;
  captured_log log;
  EXPECT_TRUE(execute_tests(d, cb, *log.log));
  EXPECT_EQ(cb.phases, (std::vector<bool>{true, false}));
  EXPECT_NE(log.text().find("3 Running read tests, 0 combos ...\n"), std::string::npos);
}

TEST(run_test, bad_parameters_fail_cleanly) {
  scratch_dir dir(L"run_params");
  const std::wstring name = dir.file(L"f.tmp");
  make_file(name, 65536);
  // Nothing to move, an unknown pattern, more buffers than a test can have, or more memory.
  struct { uint32_t size, count, fill; bool read; } rows[] = {
      {0, 4, 3, true}, {4096, 0, 3, true}, {4096, 4, 4, false}, {1024, 100000000, 3, true},
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
    EXPECT_EQ(errors.last().detail, std::to_string(r.size) + " " + std::to_string(r.count) + " " + std::to_string(r.fill));
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

TEST(execute_tests, raw_sizes_the_sector_does_not_divide_are_refused_and_the_rest_runs) {
  scratch_dir dir(L"run_sectors");
  test_def d = small_profile(dir.path());
  d.buffer_sizes = {1024, 65536, 2048, 1024};
  d.read_modes = 0x09;  // "raw" and "buf"
  d.write_modes = 0x08;
  d.update_counts();
  recording_runner cb;
  captured_log log;
  EXPECT_TRUE(execute_tests(d, cb, *log.log));
  const std::string text = log.text();
  EXPECT_EQ(text.substr(0, text.find('\n') + 1),
            "0 CheckSectorSize() failed, raw buffer sizes 1K 2K are not multiples of the 4096-byte sector\n");
  ASSERT_EQ(cb.runs.size(), size_t(d.read_tests + d.write_tests));
  size_t refused = 0;
  for (const test_run& r : cb.runs) {
    const bool unaligned_raw = (r.open_flags & FILE_FLAG_NO_BUFFERING) && r.buffer_size % 4096 != 0;
    EXPECT_EQ(r.ok, !unaligned_raw) << r.buffer_size << " " << r.open_flags;
    if (!unaligned_raw) continue;
    ++refused;
    EXPECT_EQ(r.error.api, "CheckSectorSize");
    EXPECT_EQ(r.bytes_issued, 0u);  // never opened, never read
  }
  EXPECT_EQ(refused, 6u);  // raw reads of 1K (listed twice) and 2K, at both counts
  EXPECT_EQ(text.find("CheckSectorSize", 10), std::string::npos);  // named once, not per test

  // The same sizes cached, or raw on 512-byte sectors, are fine.
  d.read_modes = 0x08;
  d.update_counts();
  recording_runner cached;
  EXPECT_TRUE(execute_tests(d, cached, *log.log));
  EXPECT_EQ(cached.runs.size(), size_t(d.read_tests + d.write_tests));
  strict_sector small(512);
  d.read_modes = 0x09;
  d.update_counts();
  recording_runner raw;
  EXPECT_TRUE(execute_tests(d, raw, *log.log));
  for (const test_run& r : raw.runs) EXPECT_TRUE(r.ok) << r.buffer_size << " " << r.error.api;
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

TEST(data_buf, patterns_and_offsets) {
  uint8_t b[300] = {};
  random_fill random(1);
  init_data_buf(b, sizeof b, 2, random);
  EXPECT_EQ(b[255], 255);
  EXPECT_EQ(b[256], 0);
  uint8_t c[8] = {0xff, 0xff, 0xff, 0xff, 0, 0, 0, 0};
  bump_buffer(c, 8);
  EXPECT_EQ(c[0], 0);
  EXPECT_EQ(c[4], 1);
  EXPECT_DEATH(init_data_buf(b, sizeof b, 4, random), "init_data_buf");
  rand15 draws(1);
  EXPECT_EQ(choose_offset(4096, true, 12345, 1 << 20, draws), 12345u);
  for (int i = 0; i < 200; ++i) {
    uint64_t big = choose_offset(1 << 20, false, 0, 64ull << 20, draws);
    EXPECT_EQ(big % 65536, 0u);
    EXPECT_LE(big + (1 << 20), 64ull << 20);
    EXPECT_EQ(choose_offset(4096, false, 0, 1 << 20, draws) % 4096, 0u);
  }
  EXPECT_EQ(choose_offset(4096, false, 0, 1000, draws), 0u);
}

// Every request is timed, and the times agree with the rate: with every buffer always in flight,
// the mean time of a request is buffers x size / rate (Little's law).
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
