#include "results/results_json.h"

#include <gtest/gtest.h>

#include <cmath>

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
  EXPECT_EQ(j.text(),
            "{\n"
            "  \"text\": \"a\\\"b\\\\c\\u000d\\u000a\\u00e9\\ud83d\\ude00\\u007f\",\n"
            "  \"utf8\": \"\\u00e9\",\n"
            "  \"n\": 18446744073709551615,\n"
            "  \"i\": -5,\n"
            "  \"d\": 0.10000000000000001,\n"
            "  \"inf\": null,\n"
            "  \"empty\": [],\n"
            "  \"list\": [\n"
            "    true,\n"
            "    null,\n"
            "    {}\n"
            "  ]\n"
            "}\n");
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
  for (const char* part : {
           "{\n  \"format\": \"folvi-cli results\",\n  \"format_version\": 1,\n  \"recorded\": \"2024-03-07 "
           "09:05:01\",",
           "\"outcome\": \"tests failed\",\n  \"repeat\": 1,\n  \"counter_frequency\": 10000000,",
           "\"path\": \"D:\\\\b\\u00e9nch\\\\\",",
           "\"facts\": {\n      \"Volume.file_system\": \"NTFS\",\n      \"Device.usb\": \"USB 2.0\"\n    },",
           "\"link\": {\n      \"name\": \"USB 2.0\",\n      \"bytes_per_second\": 60000000\n    },",
           "\"unbuffered\": \"not enforced\"",
           "\"warnings\": [\n    \"w\\\"1\"\n  ],",
           "\"direction\": \"read\",\n      \"count\": 4,\n      \"size\": 65536,\n      \"mode\": \"raw\",",
           "\"ok\": true,\n      \"error\": null,\n      \"rate\": 200000000,",
           "\"bytes_done\": 1048576,\n      \"t_open\": 10,\n      \"t_start\": 20,\n      \"t_end\": 30,\n"
           "      \"t_closed\": 40,\n      \"latency\": {\n        \"count\": 16,\n        \"mean_us\": 25.5,\n"
           "        \"p50_us\": 20.25,\n        \"p90_us\": 30,\n        \"p99_us\": 40,\n        \"p999_us\": 50.5,\n"
           "        \"max_us\": 61\n      },\n      \"rate_min\": 200000000,\n      \"rate_max\": 200000000,\n"
           "      \"flags\": [\n        \"cache-suspect\"\n      ],\n      \"passes\": [\n        {\n"
           "          \"ok\": true,",
           "\"mode\": \"buf seq\",",
           "\"error\": {\n        \"api\": \"WriteFile\",\n        \"code\": null,\n        \"detail\": \"\"\n      },",
           "\"best\": {\n    \"read\": {\n      \"test\": 0,",
           "\"t_closed\": 40,\n          \"latency\": {\n            \"count\": 16,",  // and in its pass
           "\"detail\": \"\"\n      },\n      \"rate\": 0,",
           "\"t_closed\": 0,\n      \"latency\": null,",  // a failed test has none
           "\"tied_with\": [],\n      \"best_latency\": {\n        \"test\": 0,\n        \"direction\": \"read\",\n"
           "        \"count\": 4,\n        \"size\": 65536,\n        \"mode\": \"raw\",\n        \"rate\": 200000000,\n"
           "        \"rate_min\": 200000000,\n        \"rate_max\": 200000000,\n        \"p99_us\": 40\n      }\n"
           "    },\n    \"write\": null\n  }\n}\n",
       })
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n---\n" << text;
  // The second read is above the link but not raw: suspect all the same.
  size_t marks = 0;
  for (size_t at = text.find("\"cache-suspect\""); at != std::string::npos; at = text.find("\"cache-suspect\"", at + 1))
    ++marks;
  EXPECT_EQ(marks, 4u);  // two combinations, each with its one pass
}
