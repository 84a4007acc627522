#pragma once

#include <string>
#include <vector>

#include "bench/test_def.h"

struct cli_options {
  test_def profile;
  std::wstring report_path;  // empty: the report goes to standard output
  std::wstring csv_path;
  std::wstring json_path;
  uint32_t repeat = 1;                      // passes over every combination
  std::vector<std::wstring> compare_paths;  // --compare: the reports A and B
  std::wstring record_path;                 // --scan --record: every request of the scan and its answer
  std::wstring replay_path;                 // --scan or --predict with --replay: the scan answered from a recording
  bool sizes_given = false;                 // --sizes on the command line, not a preset's
  bool help = false;
  bool scan = false;
  bool compare = false;
  bool predict = false;  // the share server's recommendation for the location's device
};

// Reads the arguments after the program name; on failure `error` is one line naming the option.
bool parse_cli_options(const std::vector<std::wstring>& args, cli_options& options, std::string& error);
extern const char cli_usage[];

// Exit codes of folvi-cli.
enum cli_exit_code : int {
  exit_completed = 0,      // every test completed
  exit_cancelled = 1,      // Ctrl+C
  exit_bad_arguments = 2,  // also an unusable location or output file, unreadable or malformed reports
  exit_failed = 3,         // the run failed, a result could not be written, or (--predict) no recommendation
  exit_tests_failed = 4,   // the run completed, but some tests failed
};
