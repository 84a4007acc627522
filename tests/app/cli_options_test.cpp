#include "app/cli_options.h"

#include <gtest/gtest.h>

namespace {
bool parse(std::vector<std::wstring> args, cli_options& o, std::string& error) {
  return parse_cli_options(args, o, error);
}
}  // namespace

TEST(cli_options, defaults_to_standard) {
  cli_options o;
  std::string error;
  ASSERT_TRUE(parse({L"D:\\bench"}, o, error)) << error;
  EXPECT_EQ(o.profile.name, L"Standard");
  EXPECT_EQ(o.profile.path, L"D:\\bench");
  EXPECT_EQ(o.profile.read_tests, 171u);
  EXPECT_TRUE(o.report_path.empty());
}

TEST(cli_options, fields_go_on_top_of_the_profile_in_any_order) {
  cli_options o;
  std::string error;
  ASSERT_TRUE(parse({L"--file-size", L"64M",    L"--profile",    L"quick",    L"--duration=100 ms",
                     L"--counts",    L"1,4",    L"--read-modes", L"0x09",     L"--write-modes",
                     L"2",           L"--fill", L"plus_1",       L"--order",  L"modes",
                     L"--cache",     L"always", L"--flush",      L"--random", L"--report",
                     L"r.txt",       L"--csv",  L"c.csv",        L"X:\\"},
                    o, error))
      << error;
  const test_def& d = o.profile;
  EXPECT_EQ(d.name, L"Custom");
  EXPECT_EQ(d.file_size, 64u << 20);
  EXPECT_EQ(d.duration, 100u);
  EXPECT_EQ(d.buffer_sizes.size(), 7u);  // Quick's
  EXPECT_EQ(d.buffer_counts, (std::vector<uint32_t>{1, 4}));
  EXPECT_EQ(d.combo_count, 14u);
  EXPECT_EQ(d.read_tests, 28u);
  EXPECT_EQ(d.write_tests, 14u);
  EXPECT_EQ(d.fill, 2u);
  EXPECT_EQ(d.order, 2u);
  EXPECT_EQ(d.cache_trim, 3u);
  EXPECT_TRUE(d.flush);
  EXPECT_FALSE(d.sequential);
  EXPECT_EQ(o.report_path, L"r.txt");
  EXPECT_EQ(o.csv_path, L"c.csv");
}

TEST(cli_options, bad_input_names_the_option) {
  struct {
    std::vector<std::wstring> args;
    const char* error;
  } rows[] = {
      {{L"--duration", L"500", L"D:\\"},
       "--duration: \"500\" is not a duration with a unit, such as \"250 ms\" or \"1 sec\""},
      {{L"--file-size", L"0", L"D:\\"}, "--file-size: \"0\" is not a size above 0 such as \"4G\""},
      {{L"--sizes", L"8k,1.5m", L"D:\\"}, "--sizes: \"8k,1.5m\" is not a list of sizes such as \"8K,64K,1M\""},
      {{L"--sizes", L"4G", L"D:\\"}, "--sizes: \"4G\" is not a list of sizes each below 4G"},
      {{L"--read-modes", L"0x40", L"D:\\"}, "--read-modes: \"0x40\" is not a mode mask from 0 to 0x3f"},
      {{L"--fill", L"extend", L"D:\\"}, "--fill: \"extend\" is not zeroes, plus_1 or random"},
      {{L"--profile", L"fast", L"D:\\"}, "--profile: \"fast\" is not quick, standard or extended"},
      {{L"--turbo", L"D:\\"}, "--turbo: unknown option"},
      {{L"D:\\", L"--counts"}, "--counts: a value is missing"},
      {{L"--flush=1", L"D:\\"}, "--flush: takes no value"},
      {{}, "LOCATION: missing"},
      {{L"C:\\", L"D:\\"}, "LOCATION: give one folder only"},
      {{L"--read-modes", L"0", L"--write-modes", L"0", L"D:\\"}, "--read-modes/--write-modes: no tests selected"},
  };
  for (const auto& r : rows) {
    cli_options o;
    std::string error;
    EXPECT_FALSE(parse(r.args, o, error));
    EXPECT_EQ(error, r.error);
  }
}

TEST(cli_options, messages_name_the_real_cause) {
  struct {
    std::vector<std::wstring> args;
    const char* error;
  } rows[] = {
      {{L""}, "LOCATION: missing"},
      {{L"--profile", L"quick", L""}, "LOCATION: missing"},
      {{L"--memory-cap", L"1", L"D:\\"}, "--memory-cap: 1 admits no buffer size x count (the smallest is 8K x 1)"},
      {{L"--memory-cap", L"4K", L"--counts", L"1024", L"D:\\"},
       "--memory-cap: 4K admits no buffer size x count (the smallest is 8K x 1024)"},
      {{L"--duration", L"71583min", L"D:\\"}, "--duration: \"71583min\" is too large, at most 4294967295 ms"},
      {{L"--duration", L"99999999999999999999ms", L"D:\\"},
       "--duration: \"99999999999999999999ms\" is too large, at most 4294967295 ms"},
      {{L"--file-size", L"99999999999999999999", L"D:\\"},
       "--file-size: \"99999999999999999999\" is too large, at most 18446744073709551615 bytes"},
      {{L"--counts", L"1,4294967296", L"D:\\"},
       "--counts: \"1,4294967296\" is too large, at most 1024 each (buffers in flight)"},
      {{L"-x", L"D:\\"}, "-x: unknown option"},
      {{L"D:\\", L"-d"}, "-d: unknown option"},
      {{L"--report", L"", L"D:\\"}, "--report: \"\" is not a file name"},
      {{L"--csv=", L"D:\\"}, "--csv: \"\" is not a file name"},
  };
  for (const auto& r : rows) {
    cli_options o;
    std::string error;
    EXPECT_FALSE(parse(r.args, o, error));
    EXPECT_EQ(error, r.error);
  }
}

// Refused before anything is allocated: more buffers than a test can have, or more memory.
TEST(cli_options, limits_of_one_test) {
  struct {
    std::vector<std::wstring> args;
    const char* error;
  } rows[] = {
      {{L"--counts", L"100000000", L"--sizes", L"1K", L"D:\\"},
       "--counts: \"100000000\" is too large, at most 1024 each (buffers in flight)"},
      {{L"--counts", L"1,1025", L"D:\\"}, "--counts: \"1,1025\" is too large, at most 1024 each (buffers in flight)"},
      {{L"--profile", L"extended", L"--memory-cap", L"0", L"D:\\"},
       "--memory-cap: 0 (no cap) admits 64M x 32 = 2G of buffers, more than the 1G one test may have"},
      {{L"--sizes", L"64M", L"--counts", L"17", L"--memory-cap", L"2G", L"D:\\"},
       "--memory-cap: 2G admits 64M x 17 = 1088M of buffers, more than the 1G one test may have"},
  };
  for (const auto& r : rows) {
    cli_options o;
    std::string error;
    EXPECT_FALSE(parse(r.args, o, error));
    EXPECT_EQ(error, r.error);
  }
  cli_options o;
  std::string error;
  EXPECT_TRUE(parse({L"--sizes", L"1M", L"--counts", L"1024", L"--memory-cap", L"0", L"D:\\"}, o, error)) << error;
}

TEST(cli_options, help_needs_nothing_else) {
  cli_options o;
  std::string error;
  EXPECT_TRUE(parse({L"--help"}, o, error));
  EXPECT_TRUE(o.help);
}

TEST(cli_options, repeat_json_compare_and_the_end_of_options) {
  cli_options o;
  std::string error;
  ASSERT_TRUE(parse({L"--repeat", L"3", L"--json=r.json", L"--", L"-folder"}, o, error)) << error;
  EXPECT_EQ(o.repeat, 3u);
  EXPECT_EQ(o.json_path, L"r.json");
  EXPECT_EQ(o.profile.path, L"-folder");
  EXPECT_EQ(o.profile.name, L"Standard");  // output options leave the profile as it was

  ASSERT_TRUE(parse({L"--compare", L"a.folvi.txt", L"b.folvi.txt"}, o, error)) << error;
  EXPECT_TRUE(o.compare);
  EXPECT_EQ(o.compare_paths, (std::vector<std::wstring>{L"a.folvi.txt", L"b.folvi.txt"}));

  struct {
    std::vector<std::wstring> args;
    const char* error;
  } rows[] = {
      {{L"--repeat", L"0", L"D:\\"}, "--repeat: \"0\" is not a whole number from 1 to 100"},
      {{L"--repeat", L"101", L"D:\\"}, "--repeat: \"101\" is not a whole number from 1 to 100"},
      {{L"--json", L"", L"D:\\"}, "--json: \"\" is not a file name"},
      {{L"--compare", L"a"}, "--compare: give two reports, A and B"},
      {{L"--compare", L"a", L"b", L"c"}, "--compare: give two reports, A and B"},
      {{L"--compare", L"a", L""}, "LOCATION: missing"},
      {{L"--compare", L"--csv", L"x.csv", L"a", L"b"}, "--compare: takes no other options"},
      {{L"--sizes", L"8K,0", L"D:\\"}, "--sizes: \"8K,0\" is not a list of sizes each above 0"},
      {{L"--counts", L"0", L"D:\\"}, "--counts: \"0\" is not a list of numbers each above 0"},
  };
  for (const auto& r : rows) {
    EXPECT_FALSE(parse(r.args, o, error));
    EXPECT_EQ(error, r.error);
  }
}

TEST(cli_options, predict_takes_a_location_and_a_recording_only) {
  cli_options o;
  std::string error;
  ASSERT_TRUE(parse({L"--predict"}, o, error)) << error;
  EXPECT_TRUE(o.predict);
  EXPECT_TRUE(o.profile.path.empty());
  ASSERT_TRUE(parse({L"--replay", L"m.txt", L"--predict", L"U:\\"}, o, error)) << error;
  EXPECT_EQ(o.replay_path, L"m.txt");
  EXPECT_EQ(o.profile.path, L"U:\\");

  struct {
    std::vector<std::wstring> args;
    const char* error;
  } rows[] = {
      {{L"--predict", L"--sizes", L"1M", L"D:\\"}, "--predict: takes no other options but --replay"},
      {{L"--predict", L"--scan"}, "--predict: takes no other options but --replay"},
      {{L"--predict", L"--record", L"r.txt"}, "--predict: takes no other options but --replay"},
      {{L"--predict", L"C:\\", L"D:\\"}, "LOCATION: give one folder only"},
      {{L"--replay", L"m.txt", L"D:\\"}, "--replay: only with --scan or --predict"},
      {{L"--predict", L"--replay", L"m.txt"}, "--replay: with --predict, give the LOCATION on the recorded machine"},
      {{L"--record", L"m.txt", L"D:\\"}, "--record: only with --scan"},
  };
  for (const auto& r : rows) {
    EXPECT_FALSE(parse(r.args, o, error));
    EXPECT_EQ(error, r.error);
  }
}
