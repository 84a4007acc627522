#include "bench/profile_text.h"

#include <gtest/gtest.h>

#include "bench/test_def.h"

TEST(profile_text, formats) {
  EXPECT_EQ(format_size(4294967296ull), "4G");
  EXPECT_EQ(format_size(67108864), "64M");
  EXPECT_EQ(format_size(8192), "8K");
  EXPECT_EQ(format_size(1000), "1000");
  EXPECT_EQ(format_size(0), "0G");
  EXPECT_EQ(format_duration(250), "250 ms");
  EXPECT_EQ(format_duration(1000), "1 sec");
  EXPECT_EQ(format_duration(120000), "2 min");
  EXPECT_EQ(format_duration(0), "0 min");
  EXPECT_EQ(format_time(34000), "00:34");
  EXPECT_EQ(format_time(285000), "04:45");
  EXPECT_EQ(format_time(2500), "~ 00:02");
  EXPECT_EQ(format_time(250), "0.25 sec");
  EXPECT_EQ(format_time(500), "0.5 sec");
  EXPECT_EQ(format_time(125), "0.125 sec");
  EXPECT_EQ(format_time(6000000), "100:00");
  EXPECT_EQ(format_time(4500000500ull), "~ 75000:00");  // past 2^32 ms
}

TEST(profile_text, parse_sizes) {
  struct {
    const char* text;
    bool ok;
    uint64_t value;
  } rows[] = {
      {"64M", true, 67108864},
      {" 64 mb ", true, 67108864},
      {"67108864", true, 67108864},
      {"8k", true, 8192},
      {"2GB", true, 2147483648ull},
      {"1.5m", false, 0},
      {"m", false, 0},
      {"", false, 0},
      {"64 x", false, 0},
      {"-1", false, 0},
      {"18446744073709551616", false, 0},
      {"17179869184g", false, 0},
  };
  for (const auto& r : rows) {
    uint64_t v = 0;
    EXPECT_EQ(parse_size(r.text, v), r.ok) << r.text;
    if (r.ok) {
      EXPECT_EQ(v, r.value) << r.text;
    }
  }
}

TEST(profile_text, parse_durations_and_numbers) {
  uint32_t v = 0;
  EXPECT_TRUE(parse_duration("250 ms", v));
  EXPECT_EQ(v, 250u);
  EXPECT_TRUE(parse_duration("2 Min", v));
  EXPECT_EQ(v, 120000u);
  EXPECT_TRUE(parse_duration("1s", v));
  EXPECT_EQ(v, 1000u);
  EXPECT_FALSE(parse_duration("500", v));
  EXPECT_FALSE(parse_duration("5 hours", v));
  EXPECT_FALSE(parse_duration("99999999 min", v));
  EXPECT_TRUE(parse_number(" 10 ", v));
  EXPECT_EQ(v, 10u);
  EXPECT_FALSE(parse_number("10x", v));
  EXPECT_FALSE(parse_number("4294967296", v));
}

TEST(profile_text, lists_keep_their_last_valid_value) {
  std::vector<uint64_t> sizes = {1};
  EXPECT_TRUE(parse_size_list("8k,64k; 1m", sizes));
  EXPECT_EQ(sizes, (std::vector<uint64_t>{8192, 65536, 1048576}));
  EXPECT_FALSE(parse_size_list("8k, 1.5m", sizes));
  EXPECT_FALSE(parse_size_list(" ,; ", sizes));
  EXPECT_EQ(sizes.size(), 3u);
  std::vector<uint32_t> counts;
  EXPECT_TRUE(parse_number_list("1 4 8 16 32 ", counts));
  EXPECT_EQ(counts, (std::vector<uint32_t>{1, 4, 8, 16, 32}));
}

TEST(profile_text, summaries_of_the_presets) {
  struct {
    int preset;
    const char* r;
    const char* w;
    const char* rt;
    const char* wt;
    const char* total;
  } rows[] = {
      {0, "68", "68", "00:17", "00:17", "00:34"},
      {1, "171", "114", "02:51", "01:54", "04:45"},
      {2, "375", "250", "06:15", "04:10", "10:25"},
  };
  for (const auto& r : rows) {
    test_def d;
    d.reset(r.preset);
    profile_summary s = summarize_profile(d, 0);
    EXPECT_EQ(s.read_tests, r.r);
    EXPECT_EQ(s.write_tests, r.w);
    EXPECT_EQ(s.read_time, r.rt);
    EXPECT_EQ(s.write_time, r.wt);
    EXPECT_EQ(s.total_time, r.total);
  }
  test_def one;
  one.buffer_sizes = {4096};
  one.buffer_counts = {1};
  one.read_modes = 1;
  one.write_modes = 0;
  profile_summary s = summarize_profile(one, 0);
  EXPECT_EQ(s.read_time, "0.25 sec");
  EXPECT_EQ(s.write_time, "-");
  EXPECT_EQ(s.total_time, "0.25 sec");
  EXPECT_EQ(summarize_profile(one, 1 << 3).read_tests, "-");
}

TEST(profile_text, too_large_is_told_from_malformed) {
  uint32_t n = 7;
  uint64_t s = 7;
  std::vector<uint32_t> counts = {1};
  EXPECT_EQ(read_duration("71583min", n), parse_result::too_large);
  EXPECT_EQ(read_duration("71582 min", n), parse_result::ok);
  EXPECT_EQ(n, 4294920000u);
  EXPECT_EQ(read_duration("99999999999999999999ms", n), parse_result::too_large);
  EXPECT_EQ(read_duration("99999999999999999999 hours", n), parse_result::malformed);
  EXPECT_EQ(read_duration("ms", n), parse_result::malformed);
  EXPECT_EQ(read_number("4294967296", n), parse_result::too_large);
  EXPECT_EQ(read_number("4294967296x", n), parse_result::malformed);
  EXPECT_EQ(read_size("18446744073709551616", s), parse_result::too_large);
  EXPECT_EQ(read_size("17179869184g", s), parse_result::too_large);
  EXPECT_EQ(read_size("17179869183g", s), parse_result::ok);
  EXPECT_EQ(read_number_list("1 99999999999", counts), parse_result::too_large);
  EXPECT_EQ(read_number_list("99999999999 x", counts), parse_result::malformed);
  EXPECT_EQ(counts, (std::vector<uint32_t>{1}));  // kept on failure
}
