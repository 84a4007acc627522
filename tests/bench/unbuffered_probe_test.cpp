#include "bench/unbuffered_probe.h"

#include <gtest/gtest.h>

#include "bench/test_file.h"
#include "bench/test_runner.h"
#include "engine_support.h"

namespace {
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
