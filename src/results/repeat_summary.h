#pragma once

#include <cstdint>
#include <vector>

#include "bench/test_run.h"

// One combination of a direction over all the passes it ran in.
struct combo_result {
  // The report's row: the record of the median pass with the median rates. A combination that
  // failed in any pass is failed: it carries that pass's failure and rates of 0.
  test_run run;
  double rate_min = 0, rate_max = 0;  // over the passes that completed
  std::vector<test_run> passes;       // in the order they ran
  bool cache_suspect = false;         // set by the cache guard
};

// A direction's records, `per_pass` tests to a pass in the order they ran, grouped by
// combination in the order of the first pass. A list that appears twice in one pass (a size
// given twice) stays two combinations. A single pass gives each record back unchanged.
std::vector<combo_result> summarize_repeats(const std::vector<test_run>& runs, uint32_t per_pass);

// The median: the middle value, or the mean of the two middle values.
double median_of(std::vector<double> values);

// The combination with the highest median rate among those that completed (the first of equals,
// as the report names it), and every other completed one whose spread reaches into its spread.
struct best_and_ties {
  int best = -1;
  std::vector<int> ties;
};
best_and_ties find_best(const std::vector<combo_result>& combos);

// Among the completed combinations timed and within 5% of the best median rate, the one with the
// lowest 99th percentile (the first of equals); -1 when there is none.
int find_best_latency(const std::vector<combo_result>& combos);

// The report's rows: each combination's run.
std::vector<test_run> report_rows(const std::vector<combo_result>& combos);
