#include "results/repeat_summary.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace {
// Which combination a record belongs to, and its how-many-th appearance in its pass.
using combo_key = std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>;

combo_key key_of(const test_run& r, uint32_t occurrence) {
  return combo_key{r.buffer_size, r.buffer_count, r.open_flags, occurrence};
}

void settle(combo_result& c) {
  if (c.passes.size() == 1) {
    c.run = c.passes[0];
    c.rate_min = c.rate_max = c.run.ok ? c.run.rate : 0;
    return;
  }
  std::vector<const test_run*> done;
  const test_run* first_failed = nullptr;
  for (const test_run& p : c.passes) {
    if (p.ok) done.push_back(&p);
    else if (!first_failed) first_failed = &p;
  }
  std::sort(done.begin(), done.end(), [](const test_run* a, const test_run* b) { return a->rate < b->rate; });
  if (!done.empty()) {
    c.rate_min = done.front()->rate;
    c.rate_max = done.back()->rate;
  }
  if (first_failed) {
    c.run = *first_failed;
    c.run.rate = c.run.rate_total = 0;
    return;
  }
  std::vector<double> rates, totals;
  for (const test_run* p : done) rates.push_back(p->rate), totals.push_back(p->rate_total);
  c.run = *done[(done.size() - 1) / 2];
  c.run.rate = median_of(rates);
  c.run.rate_total = median_of(totals);
}
}  // namespace

double median_of(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

std::vector<combo_result> summarize_repeats(const std::vector<test_run>& runs, uint32_t per_pass) {
  std::vector<combo_result> combos;
  std::map<combo_key, size_t> index;
  std::map<combo_key, uint32_t> seen_in_pass;
  for (size_t i = 0; i < runs.size(); ++i) {
    if (per_pass != 0 && i % per_pass == 0) seen_in_pass.clear();
    const test_run& r = runs[i];
    const uint32_t occurrence = seen_in_pass[key_of(r, 0)]++;
    const combo_key key = key_of(r, occurrence);
    auto it = index.find(key);
    if (it == index.end()) {
      it = index.emplace(key, combos.size()).first;
      combos.emplace_back();
    }
    combos[it->second].passes.push_back(r);
  }
  for (combo_result& c : combos) settle(c);
  return combos;
}

best_and_ties find_best(const std::vector<combo_result>& combos) {
  best_and_ties b;
  double best_rate = 0;
  for (size_t i = 0; i < combos.size(); ++i) {
    if (combos[i].run.ok && combos[i].run.rate > best_rate) {
      best_rate = combos[i].run.rate;
      b.best = int(i);
    }
  }
  if (b.best < 0) return b;
  const double floor = combos[size_t(b.best)].rate_min;
  for (size_t i = 0; i < combos.size(); ++i)
    if (int(i) != b.best && combos[i].run.ok && combos[i].rate_max >= floor) b.ties.push_back(int(i));
  return b;
}

int find_best_latency(const std::vector<combo_result>& combos) {
  const best_and_ties b = find_best(combos);
  if (b.best < 0) return -1;
  const double floor = 0.95 * combos[size_t(b.best)].run.rate;
  int found = -1;
  for (size_t i = 0; i < combos.size(); ++i) {
    const test_run& r = combos[i].run;
    if (!r.ok || r.latency.count == 0 || r.rate < floor) continue;
    if (found < 0 || r.latency.p99_us < combos[size_t(found)].run.latency.p99_us) found = int(i);
  }
  return found;
}

std::vector<test_run> report_rows(const std::vector<combo_result>& combos) {
  std::vector<test_run> rows;
  rows.reserve(combos.size());
  for (const combo_result& c : combos) rows.push_back(c.run);
  return rows;
}
