#include "results/evaluation.h"

#include <cstddef>

direction_summary summarize_direction(const std::vector<test_run>& runs) {
  direction_summary s;
  s.recorded = uint32_t(runs.size());
  for (size_t i = 0; i < runs.size(); ++i) {
    if (!runs[i].ok) {
      ++s.failed;
      continue;
    }
    // Strictly greater: of equal rates the earliest stays the best.
    if (runs[i].rate > s.best_rate) {
      s.best_rate = runs[i].rate;
      s.best = int(i);
    }
  }
  const double t99 = s.best_rate * 0.99, t95 = s.best_rate * 0.95;
  for (const test_run& r : runs) {
    if (r.rate >= t99) ++s.near_99;
    if (r.rate >= t95) ++s.near_95;
  }
  return s;
}

std::vector<row_marks> mark_rows(const std::vector<test_run>& runs) {
  double reference = 0.0;
  for (const test_run& r : runs)
    if (r.ok && r.rate > reference) reference = r.rate;
  std::vector<row_marks> marks(runs.size());
  double above = 0.0;
  for (size_t i = 0; i < runs.size(); ++i) {
    const double rate = runs[i].rate;
    marks[i].rising = rate >= above;
    marks[i].near_95 = rate >= reference * 0.95;
    marks[i].near_99 = rate >= reference * 0.99;
    if (rate > above) above = rate;
  }
  return marks;
}

int highest_rate_index(const std::vector<test_run>& runs) {
  if (runs.empty()) return -1;
  size_t best = 0;
  for (size_t i = 1; i < runs.size(); ++i)
    if (runs[i].rate > runs[best].rate) best = i;
  return int(best);
}
