// A stored report text into runs: one per report of a share (reports are joined by a separator
// line). A report that is not ours, was cut short, or contradicts itself is skipped with the
// reason, never half taken.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "strategy_types.h"

// The reasons a report is skipped, as stored and counted.
constexpr const char* skip_not_a_report = "not a report";
constexpr const char* skip_cut_short = "cut short";
constexpr const char* skip_bad_value = "bad value";
constexpr const char* skip_rows_disagree = "rows disagree";
constexpr const char* skip_unreadable = "unreadable";  // a stored text that no longer unpacks

struct parsed_report {
  std::string skipped;  // empty: `run` holds the report
  report_run run;
};

std::vector<parsed_report> parse_share_reports(std::string_view text);
parsed_report parse_report(std::string_view text);
