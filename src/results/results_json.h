#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "bench/test_def.h"
#include "results/cache_guard.h"
#include "results/repeat_summary.h"
#include "results/report_host.h"
#include "support/report_entry.h"

// Everything a run's JSON document says; the layout is in the README ("--json").
struct results_json_input {
  const report_host& host;
  SYSTEMTIME recorded;
  const test_def& profile;
  const report_entries& storage_facts;
  const cache_guard& guard;
  uint32_t repeat;
  const char* outcome;         // "completed", "tests failed", "cancelled" or "failed"
  uint64_t counter_frequency;  // performance-counter ticks per second, for the time stamps
  const std::vector<combo_result>& reads;
  const std::vector<combo_result>& writes;
  const std::vector<std::string>& warnings;
};

extern const char results_json_format[];  // "folvi-cli results"
constexpr unsigned results_json_version = 1;

std::string results_json(const results_json_input& in);
