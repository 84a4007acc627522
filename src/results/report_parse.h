#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A saved test report read back: what a comparison needs of it.
struct report_row {
  uint32_t count = 0;
  uint32_t size = 0;
  int mode = 0;            // display index, as mode_index gives it
  double binary_mbps = 0;  // the two rate columns as written, one decimal each
  double decimal_mbps = 0;
  double rate() const { return decimal_mbps * 1e6; }  // bytes per second, the finer column
  double p99_us = -1;  // the 99th percentile of its request times; below 0 when not known
};

struct parsed_report {
  std::string version;  // of the program that wrote it
  std::string recorded;
  std::string path;
  std::vector<report_row> reads, writes;
  bool latencies = false;  // read from a JSON document, which carries them
};

// Reads one report as this program writes it (a byte-order mark and line ends of LF alone are
// taken too). Anything else, a report cut short or one whose rows disagree with its own counts,
// fails with `error` naming the line: "line 57: not a measurement row".
bool parse_report(const std::string& text, parsed_report& out, std::string& error);

// A folvi-cli --json document read the same way, with each test's p99 (a failed test has a
// rate of 0 and none). Anything else fails with `error`: "byte 57: expected ':'", "tests[3] is not
// a test".
bool parse_results_json(const std::string& text, parsed_report& out, std::string& error);

// The display index of a mode name ("raw seq"), or -1.
int mode_of(const std::string& name);
