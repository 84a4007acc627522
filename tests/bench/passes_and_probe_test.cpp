#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "bench/test_file.h"
#include "bench/test_runner.h"
#include "bench/unbuffered_probe.h"
#include "engine_support.h"

namespace {
constexpr uint64_t MiB = 1048576;

using combo_key = std::tuple<bool, uint32_t, uint32_t, uint32_t>;
combo_key key_of(const test_run& r) { return {r.read, r.buffer_size, r.buffer_count, r.open_flags}; }

// Answers the reads of a location as scripted: aligned, unaligned size, unaligned offset.
struct scripted_reader : unbuffered_reader {
  uint32_t answers[3];
  int calls = 0;
  scripted_reader(uint32_t aligned, uint32_t odd_size, uint32_t odd_offset) : answers{aligned, odd_size, odd_offset} {}
  uint32_t read_at(uint64_t offset, uint32_t size) override {
    const bool aligned = offset % 512 == 0 && size % 512 == 0;
    const int which = aligned ? 0 : offset % 512 == 0 ? 1 : 2;
    ++calls;
    return answers[which];
  }
};
}  // namespace

TEST(execute_tests, passes_run_every_combination_again_in_turn) {
  scratch_dir dir(L"run_passes");
  test_def d;
  d.path = dir.path();
  d.file_size = 2 * MiB;
  d.buffer_sizes = {4096, 65536};
  d.buffer_counts = {1, 4};
  d.duration = 0;
  d.update_counts();
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

TEST(unbuffered_probe, judged_from_the_three_reads) {
  struct {
    uint32_t aligned, odd_size, odd_offset;
    unbuffered_state expected;
  } rows[] = {
      {0, ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER, unbuffered_state::enforced},
      {0, 0, ERROR_INVALID_PARAMETER, unbuffered_state::not_enforced},
      {0, ERROR_INVALID_PARAMETER, 0, unbuffered_state::not_enforced},
      {0, 0, 0, unbuffered_state::not_enforced},
      {ERROR_ACCESS_DENIED, 0, 0, unbuffered_state::unknown},
      {0, ERROR_INVALID_PARAMETER, ERROR_NETWORK_BUSY, unbuffered_state::unknown},
  };
  for (const auto& r : rows) {
    scripted_reader reader(r.aligned, r.odd_size, r.odd_offset);
    EXPECT_EQ(judge_unbuffered(reader), r.expected) << r.aligned << " " << r.odd_size << " " << r.odd_offset;
  }
  EXPECT_STREQ(unbuffered_state_name(unbuffered_state::not_enforced), "not enforced");
}

TEST(unbuffered_probe, a_location_under_windows_rules_enforces_it_and_the_file_goes) {
  scratch_dir dir(L"probe_here");
  api_error_logger errors;
  // The strict rules refuse as Windows does; the probe's own reads must see it.
  EXPECT_EQ(probe_unbuffered(dir.path(), &errors), unbuffered_state::enforced);
  EXPECT_FALSE(file_exists(test_file_name(dir.path())));
  EXPECT_EQ(errors.last_error().api, "");

  EXPECT_EQ(probe_unbuffered(dir.file(L"missing"), &errors), unbuffered_state::unknown);
  EXPECT_EQ(errors.last_error().api, "CreateFile");
  EXPECT_EQ(errors.last_error().code, uint32_t(ERROR_PATH_NOT_FOUND));
}
