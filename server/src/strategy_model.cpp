#include "strategy_model.h"

const char* level_label(basis_level level) {
  switch (level) {
    case basis_level::model: return "model";
    case basis_level::kind_and_bus: return "kind and bus";
    case basis_level::kind: return "kind";
    case basis_level::all: break;
  }
  return "all";
}

namespace {

bool known(const std::string& value) { return !value.empty() && value != "?" && value != "-"; }

bool better(const strategy_choice& a, const strategy_choice& b) {
  constexpr double tie = 1e-12;
  if (a.expected_efficiency > b.expected_efficiency + tie) return true;
  if (a.expected_efficiency < b.expected_efficiency - tie) return false;
  if (a.within_5_percent > b.within_5_percent + tie) return true;
  if (a.within_5_percent < b.within_5_percent - tie) return false;
  if (a.measured != b.measured) return a.measured > b.measured;
  return a.id < b.id;
}

}  // namespace

std::optional<std::string> level_key(basis_level level, const device_description& d) {
  switch (level) {
    case basis_level::model:
      if (!known(d.model)) return std::nullopt;
      return d.vendor + '\x1f' + d.model;
    case basis_level::kind_and_bus:
      if (!known(d.type) || d.bus.empty()) return std::nullopt;
      return d.type + '\x1f' + d.bus + '\x1f' + d.usb;
    case basis_level::kind:
      if (!known(d.type)) return std::nullopt;
      return d.type;
    case basis_level::all: break;
  }
  return std::string();
}

std::optional<strategy_choice> choose_strategy(const observation_group& group, const observed_direction* without) {
  uint32_t observations = group.observations - (without ? 1 : 0);
  if (observations == 0) return std::nullopt;
  uint32_t needed = (observations + 1) / 2;
  std::optional<strategy_choice> best;
  for (const auto& [id, totals] : group.strategies) {
    strategy_choice candidate{id, totals.efficiency_sum, 0, totals.measured};
    uint32_t near = totals.near_best;
    if (without)
      if (const rated_strategy* own = without->find(id)) {
        candidate.expected_efficiency -= own->efficiency;
        --candidate.measured;
        near -= own->near_best ? 1 : 0;
      }
    if (candidate.measured < needed || candidate.measured == 0) continue;
    candidate.expected_efficiency /= candidate.measured;
    candidate.within_5_percent = static_cast<double>(near) / candidate.measured;
    if (!best || better(candidate, *best)) best = candidate;
  }
  return best;
}

strategy_model::strategy_model(std::vector<report_run> runs) : runs_(runs.size()) {
  observations_ = gather_observations(runs, strategies_);
  for (direction which : {direction::read, direction::write})
    for (const observation& one : observations_) {
      const observed_direction& observed = one.of(which);
      if (observed.best == strategy_table::none) continue;
      for (basis_level level : basis_levels) {
        auto key = level_key(level, one.device);
        if (!key) continue;
        observation_group& group = groups_[which == direction::read ? 0 : 1][static_cast<size_t>(level)][*key];
        ++group.observations;
        for (const rated_strategy& rated : observed.rated) {
          strategy_totals& totals = group.strategies[rated.id];
          totals.efficiency_sum += rated.efficiency;
          ++totals.measured;
          totals.near_best += rated.near_best ? 1 : 0;
        }
      }
    }
  for (auto& by_level : groups_)
    for (groups& level : by_level)
      for (auto& [key, group] : level) group.choice = choose_strategy(group);
}

const observation_group* strategy_model::group(direction which, basis_level level,
                                               const device_description& device) const {
  auto key = level_key(level, device);
  if (!key) return nullptr;
  const groups& found = level_groups(which, level);
  auto at = found.find(*key);
  return at == found.end() ? nullptr : &at->second;
}

std::optional<prediction> strategy_model::predict(direction which, const device_description& device) const {
  for (basis_level level : basis_levels) {
    const observation_group* candidates = group(which, level, device);
    if (!candidates || !candidates->choice) continue;
    if (level != basis_level::all && candidates->observations < enough_observations) continue;
    return prediction{strategies_[candidates->choice->id], *candidates->choice, level, candidates->observations};
  }
  return std::nullopt;
}
