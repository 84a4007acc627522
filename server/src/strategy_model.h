// The recommendation: for a device and a direction, the strategy of highest mean efficiency
// over the most specific group of similar observations that has enough of them.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "observations.h"

enum class basis_level { model, kind_and_bus, kind, all };
constexpr std::array<basis_level, 4> basis_levels = {basis_level::model, basis_level::kind_and_bus, basis_level::kind,
                                                     basis_level::all};
const char* level_label(basis_level level);  // "model", "kind and bus", "kind", "all"

// A group below "all" is used only with at least this many observations.
constexpr uint32_t enough_observations = 5;

struct strategy_totals {
  double efficiency_sum = 0;
  uint32_t measured = 0;   // observations of the group that measured it
  uint32_t near_best = 0;  // of those, the ones in which it was within 5% of their best
};

struct strategy_choice {
  uint32_t id = 0;
  double expected_efficiency = 0;  // mean over the observations that measured it
  double within_5_percent = 0;     // share of those
  uint32_t measured = 0;
};

struct observation_group {
  uint32_t observations = 0;
  std::map<uint32_t, strategy_totals> strategies;
  std::optional<strategy_choice> choice;
};

// A strategy is a candidate when at least half of the group measured it; the highest mean
// efficiency wins, then the larger share within 5%, then more measurements, then strategy order.
// `without` is an observation of the group left out of it.
std::optional<strategy_choice> choose_strategy(const observation_group& group,
                                               const observed_direction* without = nullptr);

// The group key of a description at a level; nullopt when the description does not say enough.
std::optional<std::string> level_key(basis_level level, const device_description& device);

struct prediction {
  strategy what;
  strategy_choice choice;
  basis_level level = basis_level::all;
  uint32_t observations = 0;
};

class strategy_model {
 public:
  strategy_model() = default;
  explicit strategy_model(std::vector<report_run> runs);

  std::optional<prediction> predict(direction which, const device_description& device) const;
  const observation_group* group(direction which, basis_level level, const device_description& device) const;
  const std::vector<observation>& observations() const { return observations_; }
  const strategy_table& strategies() const { return strategies_; }
  size_t runs() const { return runs_; }

 private:
  using groups = std::unordered_map<std::string, observation_group>;
  const groups& level_groups(direction which, basis_level level) const {
    return groups_[which == direction::read ? 0 : 1][static_cast<size_t>(level)];
  }

  size_t runs_ = 0;
  strategy_table strategies_;
  std::vector<observation> observations_;
  std::array<std::array<groups, 4>, 2> groups_;
};
