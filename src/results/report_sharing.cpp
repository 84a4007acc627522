#include "results/report_sharing.h"

#include "results/report_texts.h"

bool report_due(bool runner_ok, bool stop_requested) { return runner_ok || stop_requested; }

bool report_shareable(size_t reads, uint32_t planned_reads, size_t writes, uint32_t planned_writes) {
  return reads == planned_reads || writes == planned_writes;
}

std::string join_reports(const std::vector<std::string>& reports) {
  std::string joined;
  for (size_t i = 0; i < reports.size(); ++i) {
    if (i) joined += report_separator;
    joined += reports[i];
  }
  return joined;
}

void report_history::keep(const std::string& report, bool shareable) {
  last_report = report;
  if (shareable) shareable_reports.push_back(report);
}
