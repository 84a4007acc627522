#include "observations.h"

#include <algorithm>

uint32_t strategy_table::id_of(const strategy& what) {
  auto [at, added] = ids_.emplace(what, static_cast<uint32_t>(ids_.size()));
  return at->second;
}

void strategy_table::number() {
  strategies_.clear();
  uint32_t next = 0;
  for (auto& [what, id] : ids_) {
    id = next++;
    strategies_.push_back(what);
  }
}

uint32_t strategy_table::find(const strategy& what) const {
  auto found = ids_.find(what);
  return found == ids_.end() ? none : found->second;
}

const rated_strategy* observed_direction::find(uint32_t id) const {
  auto at =
      std::lower_bound(rated.begin(), rated.end(), id, [](const rated_strategy& r, uint32_t v) { return r.id < v; });
  return at != rated.end() && at->id == id ? &*at : nullptr;
}

double percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  double rank = p * static_cast<double>(values.size() - 1);
  size_t below = static_cast<size_t>(rank);
  if (below + 1 >= values.size()) return values.back();
  return values[below] + (values[below + 1] - values[below]) * (rank - static_cast<double>(below));
}

namespace {

std::string device_key(const report_run& run) {
  const device_description& d = run.device;
  return run.machine + '\x1f' + d.type + '\x1f' + d.vendor + '\x1f' + d.model + '\x1f' + d.bus + '\x1f' + d.usb;
}

observed_direction rate_direction(const std::map<strategy, std::vector<double>>& rates, const strategy_table& table) {
  observed_direction observed;
  std::vector<std::pair<uint32_t, double>> medians;
  double best = 0;
  for (const auto& [what, values] : rates) {
    double median = percentile(values, 0.5);
    medians.emplace_back(table.find(what), median);
    best = std::max(best, median);
  }
  if (best <= 0) return observed;
  std::sort(medians.begin(), medians.end());
  for (auto [id, median] : medians) {
    observed.rated.push_back({id, median / best, median * 20 >= best * 19});
    if (median == best && observed.best == strategy_table::none) observed.best = id;
  }
  return observed;
}

}  // namespace

std::vector<observation> gather_observations(const std::vector<report_run>& runs, strategy_table& strategies) {
  struct gathered {
    const report_run* first = nullptr;
    size_t runs = 0;
    std::map<strategy, std::vector<double>> reads, writes;
  };
  std::map<std::string, gathered> groups;
  for (const report_run& run : runs) {
    gathered& group = groups[device_key(run)];
    if (!group.first) group.first = &run;
    ++group.runs;
    for (const measured_strategy& test : run.reads) group.reads[test.what].push_back(static_cast<double>(test.rate));
    for (const measured_strategy& test : run.writes) group.writes[test.what].push_back(static_cast<double>(test.rate));
    for (const measured_strategy& test : run.reads) strategies.id_of(test.what);
    for (const measured_strategy& test : run.writes) strategies.id_of(test.what);
  }
  strategies.number();
  std::vector<observation> observations;
  for (const auto& [key, group] : groups) {
    observation one;
    one.machine = group.first->machine;
    one.device = group.first->device;
    one.synthetic = group.first->synthetic;
    one.runs = group.runs;
    one.reads = rate_direction(group.reads, strategies);
    one.writes = rate_direction(group.writes, strategies);
    observations.push_back(std::move(one));
  }
  return observations;
}
