#include "results/results_json.h"

#include <gtest/gtest.h>

#include <cmath>

#include "golden.h"
#include "results/json_writer.h"
#include "run_records.h"

TEST(json_writer, layout_and_escapes) {
  json_writer j;
  j.begin_object();
  j.key("text").value(std::wstring(L"a\"b\\c\r\n\u00e9\xD83D\xDE00\x7f"));
  j.key("utf8").value(std::string("\xc3\xa9"));
  j.key("n").value(uint64_t(18446744073709551615ull));
  j.key("i").value(int64_t(-5));
  j.key("d").value(0.1);
  j.key("inf").value(HUGE_VAL);
  j.key("empty").begin_array();
  j.end_array();
  j.key("list").begin_array();
  j.value(true);
  j.null();
  j.begin_object();
  j.end_object();
  j.end_array();
  j.end_object();
  expect_golden(j.text(), "results/json_layout_and_escapes.json");
}

TEST(results_json, document) {
  test_def def;
  def.path = L"D:\\b\u00e9nch\\";
  const report_host host;
  const report_entries facts = {{"Volume.file_system", "NTFS"}, {}, {"Device.usb", "USB 2.0"}};
  cache_guard guard;
  guard.unbuffered = unbuffered_state::not_enforced;
  guard.link_name = "USB 2.0";
  guard.link_limit = 60e6;
  test_run fast = completed(true, 4, 65536, flag_no_buffering, 200e6);
  fast.latency = {16, 25.5, 20.25, 30, 40, 50.5, 61};
  fast.t_open = 10, fast.t_start = 20, fast.t_end = 30, fast.t_closed = 40,
  fast.bytes_done = fast.bytes_issued = 1 << 20;
  std::vector<combo_result> reads = summarize_repeats({fast, completed(true, 1, 8192, flag_sequential_scan, 199e6)}, 2);
  flag_cache_suspects(guard, reads);
  std::vector<combo_result> writes = summarize_repeats({failed(false, 1, 1024, 0, "WriteFile", no_error_code)}, 1);
  const std::vector<std::string> warnings = {"w\"1"};
  const results_json_input in{
      host,    SYSTEMTIME{2024, 3, 4, 7, 9, 5, 1, 0}, def, facts, guard, 1, "tests failed", 10000000, reads, writes,
      warnings};
  const std::string text = results_json(in);
  expect_golden(text, "results/results_document.json");
}
