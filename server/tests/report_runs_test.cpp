// Report texts into runs: the client's own report, joined reports, and every kind of bad
// report skipped with its reason while the others of the same share are kept.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "report_runs.h"
#include "run_record.h"
#include "synthetic_reports.h"

namespace {

std::string client_report() {
  std::ifstream in(std::string(TEST_DATA_DIR) + "/client_report.txt", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  size_t at = text.find(from);
  if (at == std::string::npos) throw std::runtime_error("not in the report: " + from);
  return text.replace(at, from.size(), to);
}

const std::string separator = "\r\n-------\r\n\r\n";

}  // namespace

TEST(report_runs, reads_the_clients_report) {
  parsed_report parsed = parse_report(client_report());
  ASSERT_EQ(parsed.skipped, "");
  const report_run& run = parsed.run;
  EXPECT_EQ(run.machine, "0123456789abcdef0123456789abcdef");
  EXPECT_EQ(run.os_name, "Windows 10");
  EXPECT_EQ(run.os_bits, 64);
  EXPECT_FALSE(run.synthetic);
  EXPECT_EQ(run.device.type, "SSD");
  EXPECT_EQ(run.device.vendor, "");
  EXPECT_EQ(run.file_system, "NTFS");
  EXPECT_FALSE(run.remote);
  EXPECT_EQ(run.buffer_sizes, (std::vector<uint64_t>{8192, 65536, 131072, 262144, 524288, 1048576, 4194304}));
  EXPECT_EQ(run.buffer_counts, (std::vector<uint32_t>{1, 4, 8, 16, 32}));
  EXPECT_EQ(run.memory_cap, 67108864u);
  EXPECT_EQ(run.read_modes, 0x11u);
  EXPECT_EQ(run.write_modes, 0x03u);
  ASSERT_EQ(run.reads.size(), 3u);
  // Rates from the decimal column; a failed test has rate 0.
  EXPECT_EQ(run.reads[0].what, (strategy{8192, 1, 3}));
  EXPECT_EQ(run.reads[0].rate, 52400000u);
  EXPECT_EQ(run.reads[1].what, (strategy{65536, 4, 1}));
  EXPECT_EQ(run.reads[1].rate, 129400000u);
  EXPECT_EQ(run.reads[2].rate, 0u);
  EXPECT_TRUE(run.writes.empty());

  auto decoded = decode_run(encode_run(run));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(encode_run(*decoded), encode_run(run));
  EXPECT_EQ(decoded->reads[1].rate, 129400000u);
  EXPECT_FALSE(decode_run(encode_run(run) + "surprise\tfield\n"));
  EXPECT_FALSE(decode_run(replaced(encode_run(run), "remote\t0\n", "")));
}

// A location whose device was not identified has no device facts at all: the run still counts,
// under no device.
TEST(report_runs, a_report_without_device_facts_is_a_run_of_an_unknown_device) {
  parsed_report parsed = parse_report(replaced(client_report(), "Device.type                     SSD\r\n", ""));
  ASSERT_EQ(parsed.skipped, "");
  EXPECT_EQ(parsed.run.device.type, "");
  EXPECT_EQ(parsed.run.reads.size(), 3u);
}

TEST(report_runs, the_generator_writes_what_the_client_writes) {
  synthetic_device device{{"HDD", "Acme", "Spinner 2", "3 / 11", ""}, {4194304, 4, 3}, {1048576, 16, 4}, 180};
  parsed_report parsed = parse_report(synthetic_report(device, 7, 1));
  ASSERT_EQ(parsed.skipped, "");
  EXPECT_TRUE(parsed.run.synthetic);
  EXPECT_EQ(parsed.run.machine, synthetic_machine_id(7));
  EXPECT_EQ(parsed.run.reads.size(), 64u);
  EXPECT_EQ(parsed.run.writes.size(), 32u);
}

TEST(report_runs, splits_joined_reports_and_skips_only_the_bad_ones) {
  std::string good = client_report();
  std::vector<parsed_report> parsed =
      parse_share_reports(good + separator + good.substr(0, good.size() / 2) + separator + good);
  ASSERT_EQ(parsed.size(), 3u);
  EXPECT_EQ(parsed[0].skipped, "");
  EXPECT_EQ(parsed[1].skipped, skip_cut_short);
  EXPECT_EQ(parsed[2].skipped, "");
  EXPECT_EQ(parsed[2].run.reads.size(), 3u);
}

TEST(report_runs, hostile_and_broken_reports_are_skipped_with_their_reason) {
  const std::string good = client_report();
  const std::string row2 = "   2  |   4 x     65536  |  buf seq  |      123.4 MBps      129.4 MBps  |  + * *  ";
  struct bad_case {
    std::string text;
    const char* reason;
  } cases[] = {
      {"Recorded                        2024/01/31 09:05:00\r\n", skip_not_a_report},
      {"", skip_not_a_report},
      {std::string(100000, '\0'), skip_not_a_report},
      {good.substr(0, good.size() - 40), skip_cut_short},
      {good.substr(0, good.find("--- Read")), skip_cut_short},
      {replaced(good, "Read.tests                      3 / 68", "Read.tests                      4 / 68"),
       skip_rows_disagree},
      {replaced(good, "Read.tests                      3 / 68", "Read.tests                      3 / 69"),
       skip_rows_disagree},
      {replaced(good, "Read.tests.failed               1", "Read.tests.failed               -"), skip_rows_disagree},
      {replaced(good, "Read.best.speed.decimal         129.4", "Read.best.speed.decimal         129.5"),
       skip_rows_disagree},
      {replaced(good, row2, replaced(row2, "129.4", "229.4")), skip_rows_disagree},
      {replaced(good, row2, replaced(row2, "buf seq", "buf rnd")), skip_rows_disagree},
      {replaced(good, row2, replaced(row2, "   2  |", "   3  |")), skip_rows_disagree},
      {replaced(good, row2, replaced(row2, "4 x     65536  |  buf seq", "1 x      8192  |  raw    ")),
       skip_rows_disagree},
      {replaced(good, row2, replaced(row2, "123.4 MBps      129.4", "      nan MBps        nan")), skip_bad_value},
      {replaced(good, row2, replaced(row2, "   123.4 MBps      129.4", "1e300 MBps  1e300")), skip_bad_value},
      {replaced(good, row2,
                replaced(row2, "      123.4 MBps      129.4", "99999999999999999.9 MBps 104857599999999999.9")),
       skip_bad_value},
      {replaced(good, row2, replaced(row2, "4 x", "99999999999999999999 x")), skip_bad_value},
      {replaced(good, "0123456789abcdef0123456789abcdef", "0123456789abcdef0123456789ABCDEF"), skip_bad_value},
      {replaced(good, " / 64 bit", " / 128 bit"), skip_bad_value},
      {replaced(good, "Test.read.modes                 0x11", "Test.read.modes                 0x7f"), skip_bad_value},
      {replaced(good, "Device.type                     SSD\r\n",
                "Device.type                     SSD\r\nDevice.type                     HDD\r\n"),
       skip_bad_value},
      {replaced(good, "Test.io.buffer_counts           1 4 8 16 32 ", "Test.io.buffer_counts           1 -4 8 16 32 "),
       skip_bad_value},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const bad_case& one = cases[i];
    std::vector<parsed_report> parsed = parse_share_reports(good + separator + one.text);
    ASSERT_EQ(parsed.size(), 2u);
    EXPECT_EQ(parsed[0].skipped, "");
    EXPECT_EQ(parsed[1].skipped, one.reason) << "case " << i;
    EXPECT_TRUE(parsed[1].run.reads.empty());
  }
}
