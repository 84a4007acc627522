#pragma once

#include <string>

#include "app/cli_options.h"

// A saved report's text; false with the reason when it cannot be read or is too large to be one.
bool read_report_file(const std::wstring& path, std::string& text, std::string& error);

// folvi-cli --compare A B: the comparison on standard output, or a reason on standard error and
// exit_bad_arguments for a file that cannot be read or is not one of our reports.
int run_compare(const cli_options& options);
