#include "results/evaluation.h"

#include <gtest/gtest.h>

#include "golden.h"

namespace {
// "rates 100 500! 99": the rates of one direction's records, "!" marking a failed one. The answer:
// what the summary says, the list's highest row, and each row's marks (rising, near 95%, near 99%).
std::string answer(const std::string& question) {
  std::vector<test_run> runs;
  for (const std::string& w : words(question.substr(question.find(' ') + 1))) {
    if (w.empty()) continue;
    test_run r;
    r.buffer_count = 1;
    r.buffer_size = 65536;
    r.ok = w.back() != '!';
    r.rate = std::stod(w);
    runs.push_back(r);
  }
  const direction_summary s = summarize_direction(runs);
  std::string out = "recorded " + std::to_string(s.recorded) + " failed " + std::to_string(s.failed) + " best " +
                    std::to_string(s.best) + " at " + std::to_string(s.best_rate) + " near_99 " +
                    std::to_string(s.near_99) + " near_95 " + std::to_string(s.near_95) + " highest " +
                    std::to_string(highest_rate_index(runs)) + " marks";
  for (const row_marks& m : mark_rows(runs))
    out += std::string(" ") + (m.rising ? '+' : '.') + (m.near_95 ? '*' : '.') + (m.near_99 ? '*' : '.');
  return out;
}
}  // namespace

TEST(evaluation, best_near_counts_highest_row_and_marks) { expect_table("results/evaluation.txt", answer); }
