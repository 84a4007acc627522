#include "bench/test_runner.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include "bench/data_buf.h"
#include "bench/test_file.h"
#include "engine_support.h"
#include "support/text.h"

namespace {
using combo_key = std::tuple<bool, uint32_t, uint32_t, uint32_t>;
combo_key key_of(const test_run& r) { return {r.read, r.buffer_size, r.buffer_count, r.open_flags}; }

bool failing_purge(api_error_cb* errors) {
  if (errors) errors->report_api_error("NtSetSystemInformation", ERROR_PRIVILEGE_NOT_HELD);
  return false;
}

int purges = 0;
bool counting_purge(api_error_cb*) {
  ++purges;
  return true;
}

// 16 read and 16 write tests in random order on a small file.
test_def random_order_profile(const std::wstring& path) {
  test_def d;
  d.path = path;
  d.file_size = 65536;
  d.buffer_sizes = {4096, 8192, 16384, 32768};
  d.buffer_counts = {1, 2, 3, 4};
  d.read_modes = 0x08;
  d.write_modes = 0x08;
  d.order = 1;
  d.duration = 0;
  d.update_counts();
  return d;
}

struct order_run {
  const test_def* def;
  std::optional<uint32_t> seed;
  std::vector<combo_key> reads, writes;
  bool ok = false;
};

// Each run on a thread of its own, as the window starts one per run: the C runtime's generator
// starts afresh on every thread.
DWORD WINAPI run_on_thread(void* param) {
  order_run& r = *static_cast<order_run*>(param);
  recording_runner cb;
  captured_log log;
  r.ok = execute_tests(*r.def, cb, *log.log, nullptr, 1, r.seed);
  for (const test_run& t : cb.runs)
    (t.read ? r.reads : r.writes).emplace_back(t.read, t.buffer_size, t.buffer_count, t.open_flags);
  return 0;
}

order_run run_once(const test_def& def, std::optional<uint32_t> seed) {
  order_run r{&def, seed, {}, {}};
  HANDLE thread = CreateThread(nullptr, 0, run_on_thread, &r, 0, nullptr);
  EXPECT_NE(thread, nullptr);
  if (thread) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.reads.size(), 16u);
  EXPECT_EQ(r.writes.size(), 16u);
  return r;
}
}  // namespace

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
  struct {
    uint32_t trim;
    bool remote;
    int purges;
  } rows[] = {{1, false, 0}, {2, false, 16}, {2, true, 0}, {3, true, 16}};
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

TEST(execute_tests, passes_run_every_combination_again_in_turn) {
  scratch_dir dir(L"run_passes");
  test_def d = small_profile(dir.path());
  recording_runner cb;
  captured_log log;
  ASSERT_TRUE(execute_tests(d, cb, *log.log, nullptr, 3));
  EXPECT_EQ(cb.phases, (std::vector<bool>{true, false}));  // one question per phase, not per pass
  const size_t per_pass = d.read_tests;
  ASSERT_EQ(cb.runs.size(), 3 * size_t(d.read_tests + d.write_tests));
  // Each pass holds every combination once; the second runs the first's order backwards.
  for (size_t pass = 0; pass < 3; ++pass) {
    std::map<combo_key, int> seen;
    for (size_t i = 0; i < per_pass; ++i) ++seen[key_of(cb.runs[pass * per_pass + i])];
    EXPECT_EQ(seen.size(), per_pass);
  }
  for (size_t i = 0; i < per_pass; ++i) {
    EXPECT_EQ(key_of(cb.runs[per_pass + i]), key_of(cb.runs[per_pass - 1 - i])) << i;
    EXPECT_EQ(key_of(cb.runs[2 * per_pass + i]), key_of(cb.runs[i])) << i;
  }
  EXPECT_TRUE(cb.runs[3 * per_pass - 1].read);
  EXPECT_FALSE(cb.runs[3 * per_pass].read);
  const std::string text = log.text();
  EXPECT_NE(text.find("3 Running read tests, 8 combos ...\n3 Pass 2 of 3 ...\n"), std::string::npos) << text;
  EXPECT_FALSE(file_exists(test_file_name(dir.path())));

  // A callback's stop ends the phase with all its passes; the next phase still runs.
  recording_runner cut;
  cut.cut_test_at = int(per_pass) + 1;
  ASSERT_TRUE(execute_tests(d, cut, *log.log, nullptr, 3));
  EXPECT_EQ(cut.runs.size(), per_pass + 2 + 3 * size_t(d.write_tests));
}

TEST(run_order, every_run_draws_its_own_order_and_a_seed_fixes_it) {
  scratch_dir dir(L"run_order");
  const test_def d = random_order_profile(dir.path());
  const order_run first = run_once(d, std::nullopt), second = run_once(d, std::nullopt);
  EXPECT_NE(first.reads, second.reads);  // 16! orders: the same one twice is no chance
  EXPECT_NE(first.writes, second.writes);

  // The same seed, the same order in both phases, however the tests between went.
  const order_run a = run_once(d, 7), b = run_once(d, 7), other = run_once(d, 8);
  EXPECT_EQ(a.reads, b.reads);
  EXPECT_EQ(a.writes, b.writes);
  EXPECT_NE(a.reads, other.reads);
  EXPECT_NE(a.reads, a.writes);  // each phase draws on
}

TEST(run_order, offsets_draw_from_their_own_generator) {
  rand15 a(3), b(3);
  std::vector<uint64_t> first, again;
  for (int i = 0; i < 50; ++i) first.push_back(choose_offset(4096, false, 0, 1 << 24, a));
  std::srand(1);  // the C runtime's generator moves nothing
  for (int i = 0; i < 50; ++i) again.push_back(choose_offset(4096, false, 0, 1 << 24, b));
  EXPECT_EQ(first, again);
  std::sort(first.begin(), first.end());
  EXPECT_GT(std::unique(first.begin(), first.end()) - first.begin(), 45);
}
