#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "bench/test_def.h"
#include "bench/test_run.h"
#include "results/evaluation.h"
#include "results/report_host.h"
#include "support/report_entry.h"

// The state of the window a report is made from; the planned counts are the profile's.
struct report_run {
  const test_def& profile;
  const std::vector<test_run>& reads;
  const std::vector<test_run>& writes;
  const report_entries& storage_facts;
};

report_entries build_report_entries(const report_host& host, const SYSTEMTIME& recorded, const report_run& run);
// Clears the text and renders the report into it.
void build_report(const report_host& host, const SYSTEMTIME& recorded, const report_run& run, std::string& out);

// One row of a measurement table; number counts from 1 within the direction.
std::string measurement_row(unsigned number, const test_run& run, const row_marks& marks);
