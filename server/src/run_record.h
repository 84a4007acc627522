// A parsed run as the store keeps it: "name<TAB>value" lines, one per field and one per test.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "strategy_types.h"

std::string encode_run(const report_run& run);
// nullopt when the text is not one encode_run wrote.
std::optional<report_run> decode_run(std::string_view text);

// What the store keeps of one report: why it was skipped, or its encoded run.
struct run_row {
  std::string skipped;
  std::string run;
};
// One row per report of a share's report text, in order.
std::vector<run_row> run_rows_of_report(std::string_view report);
