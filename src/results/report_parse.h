#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A saved test report read back: what a comparison needs of it.
struct report_row {
  uint32_t count = 0;
  uint32_t size = 0;
  int mode = 0;                  // display index, as mode_index gives it
  double binary_mbps = 0;        // the two rate columns as written, one decimal each
  double decimal_mbps = 0;
  double rate() const { return decimal_mbps * 1e6; }  // bytes per second, the finer column
};

struct parsed_report {
  std::string version;  // of the program that wrote it
  std::string recorded;
  std::string path;
  std::vector<report_row> reads, writes;
};

// Reads one report as this program writes it (a byte-order mark and line ends of LF alone are
// taken too). Anything else, a report cut short or one whose rows disagree with its own counts,
// fails with `error` naming the line: "line 57: not a measurement row".
bool parse_report(const std::string& text, parsed_report& out, std::string& error);
