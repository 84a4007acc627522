#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A finished run gets a report when its runner succeeded or when it was stopped on purpose.
bool report_due(bool runner_ok, bool stop_requested);

// A report is worth sharing when at least one direction ran every one of its planned tests.
bool report_shareable(size_t reads, uint32_t planned_reads, size_t writes, uint32_t planned_writes);

// The reports in order, the separator before each but the first.
std::string join_reports(const std::vector<std::string>& reports);

// The reports made since the program started.
struct report_history {
  std::string last_report;
  std::vector<std::string> shareable_reports;

  void keep(const std::string& report, bool shareable);
  std::string joined() const { return join_reports(shareable_reports); }
};
