#include <gtest/gtest.h>

#include "bench/test_def.h"
#include "golden.h"
#include "results/json_reader.h"
#include "results/report_compare.h"
#include "results/report_parse.h"
#include "results/results_json.h"
#include "run_records.h"

namespace {
constexpr uint32_t raw = flag_no_buffering;
constexpr uint32_t raw_seq = flag_no_buffering | flag_sequential_scan;

test_run timed(test_run r, double p99) {
  r.latency = {1000, p99 / 3, p99 / 4, p99 / 2, p99, p99 * 2, p99 * 5};
  return r;
}

// A document as folvi-cli --json writes it.
std::string document(const std::vector<test_run>& reads, const std::vector<test_run>& writes, const wchar_t* path) {
  test_def def;
  def.path = path;
  report_host host;
  host.version = "0.1.2.3";
  const report_entries facts;
  const cache_guard guard;
  const std::vector<std::string> warnings;
  const std::vector<combo_result> r = summarize_repeats(reads, 0), w = summarize_repeats(writes, 0);
  return results_json(
      {host, SYSTEMTIME{2024, 3, 4, 7, 9, 5, 1, 0}, def, facts, guard, 1, "completed", 10000000, r, w, warnings});
}

const std::string doc_a = document({timed(completed(true, 1, 8192, raw, 52428800), 40.5),
                                    timed(completed(true, 4, 65536, raw_seq, 129400000), 812.25)},
                                   {failed(false, 32, 4194304, raw, "WriteFile", 112)}, L"D:\\bench\\");
const std::string doc_b = document(
    {timed(completed(true, 4, 65536, raw_seq, 258800000), 300), timed(completed(true, 1, 8192, raw, 52428800), 41)},
    {timed(completed(false, 32, 4194304, raw, 1.5e9), 9000)}, L"E:\\");

std::string json_error(const std::string& text) {
  parsed_report r;
  std::string error;
  return parse_results_json(text, r, error) ? "<parsed>" : error;
}
}  // namespace

// Each p99 beside the rates; then against a document from before requests were timed, which has none.
TEST(report_compare, two_json_documents_show_each_p99_beside_the_rates) {
  std::string old = doc_b;
  for (size_t at; (at = old.find("\"latency\": {")) != std::string::npos;)
    old.erase(at, old.find('}', at) + 3 - at);  // the member, its object and the comma after it
  parsed_report a, b, before;
  std::string error;
  ASSERT_TRUE(parse_results_json(doc_a, a, error)) << error;
  ASSERT_TRUE(parse_results_json("\xEF\xBB\xBF" + doc_b, b, error)) << error;
  ASSERT_TRUE(parse_results_json(old, before, error)) << error << "\n" << old;
  expect_golden(compare_reports(a, b) + "---\n" + compare_reports(a, before), "reports/two_documents_compared.txt");
}

namespace {
// "replace from -> to" in the first document, "cut_before text", "append text", or "text document".
std::string answer(const std::string& question) {
  const size_t space = question.find(' ');
  const std::string fn = question.substr(0, space), arg = question.substr(space + 1);
  std::string doc = doc_a;
  if (fn == "replace") {
    const std::string from = arg.substr(0, arg.find(" -> "));
    if (doc.find(from) == std::string::npos) return from + " not found";
    doc.replace(doc.find(from), from.size(), arg.substr(arg.find(" -> ") + 4));
  }
  if (fn == "cut_before")
    doc = doc.substr(0, doc.find(arg.substr(0, arg.find(" + ")))) + arg.substr(arg.find(" + ") + 3);
  if (fn == "append") doc += arg;
  if (fn == "text") doc = arg;
  return json_error(doc);
}
}  // namespace

TEST(report_compare, documents_that_are_not_ours_are_refused_with_the_place) {
  // Cut anywhere, the document is refused, never half read.
  for (size_t n = 0; n < doc_a.size(); n += 7) EXPECT_NE(json_error(doc_a.substr(0, n)), "<parsed>") << n;
  expect_table("results/json_document_errors.txt", answer);
}

TEST(json_reader, strings_numbers_and_nesting) {
  json_value v;
  std::string error;
  ASSERT_TRUE(
      read_json(" [\"a\\\"\\\\\\/\\n\\u00e9\\ud83d\\ude00\\ud800x\", -1.5e3, 0, true, false, null, {}] ", v, error))
      << error;
  ASSERT_EQ(v.items.size(), 7u);
  EXPECT_EQ(v.items[0].text, "a\"\\/\n\xc3\xa9\xf0\x9f\x98\x80\xed\xa0\x80x");  // a lone surrogate stays one unit
  EXPECT_EQ(v.items[1].num, -1500);
  EXPECT_TRUE(v.items[3].flag);
  EXPECT_EQ(v.items[4].kind, json_value::boolean);
  EXPECT_FALSE(v.items[4].flag);
  EXPECT_EQ(v.items[5].kind, json_value::null);
  EXPECT_EQ(v.items[6].kind, json_value::object);
  EXPECT_TRUE(read_json(std::string(64, '[') + std::string(64, ']'), v, error)) << error;
  EXPECT_FALSE(read_json(std::string(66, '[') + std::string(66, ']'), v, error));
  EXPECT_EQ(error, "byte 66: nested too deeply");
  for (const char* bad : {"", "[1,]", "{\"a\" 1}", "\"\\x\"", "\"\\u12g4\"", "\"a\nb\"", "-", "01x", "nul", "[1 2]"})
    EXPECT_FALSE(read_json(bad, v, error)) << bad;
}
