#pragma once

#include <cstdint>
#include <vector>

#include "bench/test_run.h"

// What the report says about one direction's results.
struct direction_summary {
  uint32_t recorded = 0;
  uint32_t failed = 0;
  int best = -1;  // earliest completed record with the best rate; -1 when none beats 0
  double best_rate = 0.0;
  uint32_t near_99 = 0;  // records, failed ones included, at or above 0.99 x best
  uint32_t near_95 = 0;
};
direction_summary summarize_direction(const std::vector<test_run>& runs);

// The three marks of a report table row.
struct row_marks {
  bool rising = false;   // at or above every row before it
  bool near_95 = false;  // at or above 0.95 x the best completed rate
  bool near_99 = false;
};
std::vector<row_marks> mark_rows(const std::vector<test_run>& runs);

// The record with the highest rate, completed or not, the first of equals; -1 when empty.
int highest_rate_index(const std::vector<test_run>& runs);
