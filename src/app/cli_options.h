#pragma once

#include <string>
#include <vector>

#include "bench/test_def.h"

struct cli_options {
  test_def profile;
  std::wstring report_path;  // empty: the report goes to standard output
  std::wstring csv_path;
  bool help = false;
  bool scan = false;
};

// Reads the arguments after the program name; on failure `error` is one line naming the option.
bool parse_cli_options(const std::vector<std::wstring>& args, cli_options& options, std::string& error);
extern const char cli_usage[];
