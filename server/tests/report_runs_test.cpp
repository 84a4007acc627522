// Report texts into runs: the client's own report, joined reports, and every kind of bad
// report skipped with its reason while the others of the same share are kept.
#include <gtest/gtest.h>

#include "golden.h"
#include "report_runs.h"
#include "run_record.h"
#include "synthetic_reports.h"

namespace {

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  size_t at = text.find(from);
  if (at == std::string::npos) throw std::runtime_error("not in the report: " + from);
  return text.replace(at, from.size(), to);
}

const std::string separator = "\r\n-------\r\n\r\n";

}  // namespace

TEST(report_runs, reads_the_clients_report_and_a_generated_one) {
  std::string report = test_data_text("client_report.txt");
  parsed_report parsed = parse_report(report);
  ASSERT_EQ(parsed.skipped, "");
  std::string record = encode_run(parsed.run);
  expect_golden(record, "client_report.run.txt");
  auto decoded = decode_run(record);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(encode_run(*decoded), record);
  EXPECT_FALSE(decode_run(record + "surprise\tfield\n"));
  EXPECT_FALSE(decode_run(replaced(record, "remote\t0\n", "")));
  // A location whose device was not identified: the run counts, under no device.
  parsed = parse_report(replaced(report, "Device.type                     SSD\r\n", ""));
  EXPECT_EQ(encode_run(parsed.run), replaced(record, "type\tSSD", "type\t"));

  synthetic_device device{{"HDD", "Acme", "Spinner 2", "3 / 11", ""}, {4194304, 4, 3}, {1048576, 16, 4}, 180};
  parsed = parse_report(synthetic_report(device, 7, 1));
  ASSERT_EQ(parsed.skipped, "");
  EXPECT_TRUE(parsed.run.synthetic);
  EXPECT_EQ(parsed.run.machine, synthetic_machine_id(7));
  EXPECT_EQ(parsed.run.reads.size(), 64u);
  EXPECT_EQ(parsed.run.writes.size(), 32u);
}

TEST(report_runs, bad_reports_are_skipped_with_their_reason_and_the_others_kept) {
  const std::string good = test_data_text("client_report.txt");
  std::vector<std::pair<std::string, std::string>> cases = {{"", skip_not_a_report},
                                                            {"Recorded    2024/01/31 09:05:00\r\n", skip_not_a_report},
                                                            {std::string(100000, '\0'), skip_not_a_report},
                                                            {good.substr(0, good.size() - 40), skip_cut_short},
                                                            {good.substr(0, good.find("--- Read")), skip_cut_short}};
  for (const std::string& line : lines_of(test_data_text("bad_reports.txt"))) {
    if (line[0] == '#') continue;
    size_t from = line.find('\t'), to = line.find('\t', from + 1);
    std::string replacement = line.substr(to + 1);
    for (size_t at; (at = replacement.find("\\r\\n")) != std::string::npos;) replacement.replace(at, 4, "\r\n");
    cases.push_back({replaced(good, line.substr(from + 1, to - from - 1), replacement), line.substr(0, from)});
  }
  for (const auto& [text, reason] : cases) {
    std::vector<parsed_report> parsed = parse_share_reports(good + separator + text + separator + good);
    ASSERT_EQ(parsed.size(), 3u);
    EXPECT_EQ(parsed[0].skipped, "");
    EXPECT_EQ(parsed[1].skipped, reason) << text.substr(0, 2000);
    EXPECT_TRUE(parsed[1].run.reads.empty());
    EXPECT_EQ(parsed[2].run.reads.size(), 3u);
  }
}
