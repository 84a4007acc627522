#include "results/report_parse.h"

#include <gtest/gtest.h>

#include "bench/test_def.h"
#include "golden.h"
#include "results/report_build.h"
#include "results/report_compare.h"
#include "run_records.h"

namespace {
constexpr uint32_t raw = flag_no_buffering;
constexpr uint32_t raw_seq = flag_no_buffering | flag_sequential_scan;
constexpr uint32_t buf_seq = flag_sequential_scan;

std::string report_with(const std::vector<test_run>& reads, const std::vector<test_run>& writes,
                        const wchar_t* path = L"D:\\bench\\") {
  test_def def;
  def.path = path;
  report_host host;
  host.version = "0.1.2.3";
  host.os_name = "Windows 10";
  const SYSTEMTIME recorded = {2024, 3, 4, 7, 9, 5, 1, 0};
  const report_entries facts = {{"Volume.file_system", "NTFS"}, {"Volume.type", "-"}, {}, {"Device.type", "SSD"}};
  std::string text;
  build_report(host, recorded, {def, reads, writes, facts}, text);
  return text;
}

const std::vector<test_run> reads_a = {completed(true, 1, 8192, raw, 52428800),
                                       completed(true, 4, 65536, raw_seq, 129400000),
                                       failed(true, 8, 131072, buf_seq, "ReadFile", 87)};
const std::vector<test_run> writes_a = {completed(false, 32, 4194304, raw, 1.5e9)};

std::string parse_error(const std::string& text) {
  parsed_report r;
  std::string error;
  if (parse_report(text, r, error)) return "<parsed>";
  return error;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  if (at == std::string::npos) return "<" + from + " not found>";
  return text.replace(at, from.size(), to);
}
}  // namespace

// What the fields read back as is the comparison's golden to show; here the rates, and the same
// report as saved (with the byte-order mark) and as an editor may leave it (LF only, padding stripped).
TEST(report_parse, reads_back_what_the_report_wrote) {
  parsed_report r, saved, edited;
  std::string error, plain;
  for (const char c : report_with(reads_a, writes_a))
    if (c != '\r') plain += c;
  ASSERT_TRUE(parse_report(report_with(reads_a, writes_a), r, error)) << error;
  ASSERT_TRUE(parse_report("\xEF\xBB\xBF" + report_with(reads_a, writes_a), saved, error)) << error;
  ASSERT_TRUE(parse_report(replaced(plain, "|  + * *  \n", "|  + * *\n"), edited, error)) << error;
  EXPECT_DOUBLE_EQ(r.reads[1].rate(), 129.4e6);
  EXPECT_EQ(r.reads[2].rate(), 0);
  EXPECT_EQ(compare_reports(saved, edited), compare_reports(r, r));
}

namespace {
// "cut_before text": the report up to where `text` begins; "cut_end n": without its last n bytes;
// "replace from -> to": the first `from` replaced; "text line": the file of that line. The answer
// is the parse error.
std::string answer(const std::string& question) {
  const std::string text = report_with(reads_a, writes_a);
  const size_t space = question.find(' ');
  const std::string fn = question.substr(0, space), arg = question.substr(space + 1);
  if (fn == "cut_before") return parse_error(text.substr(0, text.find(arg)));
  if (fn == "cut_end") return parse_error(text.substr(0, text.size() - std::stoul(arg)));
  if (fn == "replace")
    return parse_error(replaced(text, arg.substr(0, arg.find(" -> ")), arg.substr(arg.find(" -> ") + 4)));
  if (fn == "text") return parse_error(arg + "\r\n");
  return "unknown question";
}
}  // namespace

TEST(report_parse, cut_and_corrupted_reports_name_the_line) {
  expect_table("results/report_parse_errors.txt", answer);
  const std::string text = report_with(reads_a, writes_a);
  EXPECT_EQ(parse_error(""), "line 1: the file is empty");
  EXPECT_EQ(parse_error(std::string("\x89PNG\r\n\x1a\n\0\0", 10)), "line 2: not text");
  EXPECT_EQ(parse_error(text.substr(0, text.find("   1  |  32 x")) + "\r\n"),
            "line 56: Read.tests and Write.tests say 3 and 1, the tables hold 3 and 0 rows");
  EXPECT_EQ(parse_error(text + "\r\n-------\r\n\r\n" + text),
            "line 59: holds several joined reports; compare them one at a time");
  // The last line of a report is a blank one: without it the data is whole. Every shorter cut is
  // refused, and corrupted anywhere, byte by byte, the report is refused or read, never a crash.
  const size_t whole = text.rfind("\r\n", text.size() - 3) + 2;
  for (size_t n = 0; n < whole; ++n) {
    const std::string error = parse_error(text.substr(0, n));
    EXPECT_EQ(error.compare(0, 5, "line "), 0) << n << ": " << error;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    std::string bad = text;
    bad[i] = char(bad[i] ^ 0x5A);
    parse_error(bad);
  }
}

// Two text reports compared: rates, ratios, each best and the median ratio.
TEST(report_compare, rates_ratios_best_and_median) {
  const std::vector<test_run> reads_b = {completed(true, 4, 65536, raw_seq, 258800000),
                                         completed(true, 1, 8192, raw, 52428800), completed(true, 16, 8192, raw, 1e6)};
  parsed_report a, b;
  std::string error;
  ASSERT_TRUE(parse_report(report_with(reads_a, writes_a), a, error)) << error;
  ASSERT_TRUE(parse_report(report_with(reads_b, {}, L"E:\\"), b, error)) << error;
  expect_golden(compare_reports(a, b), "reports/two_reports_compared.txt");
}
