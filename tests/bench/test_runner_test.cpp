#include "bench/test_runner.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <thread>
#include <tuple>
#include <vector>

#include "bench/data_buf.h"
#include "bench/test_file.h"
#include "engine_support.h"
#include "golden.h"
#include "support/text.h"

namespace {
using combo_key = std::tuple<bool, uint32_t, uint32_t, uint32_t>;

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
  std::vector<combo_key> reads, writes;
};

// Each run on a thread of its own, as the window starts one per run: the C runtime's generator
// starts afresh on every thread.
order_run run_once(const test_def& def, std::optional<uint32_t> seed) {
  order_run r;
  std::thread([&] {
    recording_runner cb;
    captured_log log;
    EXPECT_TRUE(execute_tests(def, cb, *log.log, nullptr, 1, seed));
    for (const test_run& t : cb.runs)
      (t.read ? r.reads : r.writes).emplace_back(t.read, t.buffer_size, t.buffer_count, t.open_flags);
  }).join();
  EXPECT_EQ(r.reads.size(), 16u);
  EXPECT_EQ(r.writes.size(), 16u);
  return r;
}
}  // namespace

namespace {
std::string replaced_all(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

// What a run did: its answer, the questions it asked, every test it handed over, whether its file
// and handles are gone, and its log with the scratch folder as <dir>.
std::string transcript(const test_def& d, recording_runner& cb, purge_fn purge, uint32_t passes,
                       const std::wstring& dir) {
  captured_log log;
  const DWORD handles = process_handle_count();
  const bool ok = execute_tests(d, cb, *log.log, purge, passes);
  std::string out =
      std::string("ok ") + (ok ? "1" : "0") + ", " + std::to_string(cb.progress.size()) + " progress reports, phases";
  for (bool read : cb.phases) out += read ? " read" : " write";
  out += "\n";
  for (const test_run& r : cb.runs) {
    char line[160];
    snprintf(line, sizeof line, "  %s %2u x %6u %08x %s %s %llu/%llu\n", r.read ? "read " : "write", r.buffer_count,
             r.buffer_size, r.open_flags, r.ok ? "ok" : "failed", r.ok ? "" : r.error.api.c_str(),
             (unsigned long long)r.bytes_issued, (unsigned long long)r.bytes_done);
    out += line;
    EXPECT_EQ(r.ok, r.rate > 0 && r.rate_total > 0 && r.t_open <= r.t_start && r.t_end <= r.t_closed);
  }
  out += std::string("file left ") + (file_exists(test_file_name(dir)) ? "1" : "0") + ", handles " +
         (process_handle_count() == handles ? "as before" : "changed") + "\n";
  return out + replaced_all(log.text(), to_utf8(dir), "<dir>");
}

// A small profile changed by the case's words: path=missing, file_size=, sizes=a,b, read_modes=,
// write_modes=, cache_trim=, remote=1, sector= (bytes), purge=failing|counting, passes=, and the runner's
// answers cancel_progress_at=, cut_test_at=, stop_phase_at=.
std::string run_case(const std::string& spec, const std::wstring& dir) {
  const auto number = [&](const char* key, uint64_t otherwise) {
    const std::string v = spec_value(spec, key);
    return v.empty() ? otherwise : std::stoull(v, nullptr, 0);
  };
  test_def d = small_profile(spec_value(spec, "path") == "missing" ? dir + L"\\no-such-folder" : dir);
  d.file_size = number("file_size", d.file_size);
  if (!spec_value(spec, "sizes").empty()) {
    d.buffer_sizes.clear();
    for (std::string rest = spec_value(spec, "sizes") + ","; !rest.empty(); rest.erase(0, rest.find(',') + 1))
      d.buffer_sizes.push_back(std::stoull(rest.substr(0, rest.find(','))));
  }
  d.read_modes = uint32_t(number("read_modes", d.read_modes));
  d.write_modes = uint32_t(number("write_modes", d.write_modes));
  d.cache_trim = uint32_t(number("cache_trim", d.cache_trim));
  d.remote = number("remote", 0) != 0;
  d.update_counts();
  recording_runner cb;
  cb.cancel_progress_at = int(number("cancel_progress_at", -1));
  cb.cut_test_at = int(number("cut_test_at", -1));
  cb.stop_phase_at = int(number("stop_phase_at", -1));
  const strict_sector sectors(uint32_t(number("sector", test_sector_size)));
  const std::string purge = spec_value(spec, "purge");
  purges = 0;
  const purge_fn purge_with = purge == "failing" ? failing_purge : purge == "counting" ? counting_purge : nullptr;
  const std::string out = transcript(d, cb, purge_with, uint32_t(number("passes", 1)), dir);
  return out + "purges " + std::to_string(purges) + "\n";
}
}  // namespace

// Cancelling the file's preparation, a stopped phase or a failed purge ends the run; a cut test
// ends its phase only; raw sizes the 4,096-byte sector does not divide are refused once, the rest
// runs; cache trimming 2 purges before every test on a local path, 3 on a remote one too; an empty
// phase still asks; passes run every combination again in turn, the second backwards, with one
// question per phase, and a cut test ends the phase with all its passes.
TEST(execute_tests, runs_cancels_failures_passes_and_cache_trimming) {
  scratch_dir dir(L"run_cases");
  expect_cases("bench/runner_cases.txt", [&](const std::string& spec) { return run_case(spec, dir.path()); });
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
