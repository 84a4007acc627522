#include "model_evaluation.h"

namespace {

// Efficiencies reached, as they are collected for one method.
struct reached {
  std::vector<double> efficiencies;
  uint32_t near_best = 0, unmeasured = 0;

  void add(const observed_direction& held_out, uint32_t id) {
    const rated_strategy* rated = id == strategy_table::none ? nullptr : held_out.find(id);
    if (!rated) {
      ++unmeasured;
      return;
    }
    efficiencies.push_back(rated->efficiency);
    near_best += rated->near_best ? 1 : 0;
  }

  method_figures figures() const {
    method_figures out;
    out.evaluated = static_cast<uint32_t>(efficiencies.size());
    out.unmeasured = unmeasured;
    if (efficiencies.empty()) return out;
    out.median = percentile(efficiencies, 0.5);
    out.p10 = percentile(efficiencies, 0.1);
    out.within_5_percent = static_cast<double>(near_best) / static_cast<double>(efficiencies.size());
    return out;
  }
};

struct reached_by_method {
  reached model, most_often, fixed;
  level_figures figures() const { return {model.figures(), most_often.figures(), fixed.figures()}; }
};

// The held-out prediction: the most specific level with enough observations besides this one.
std::optional<std::pair<strategy_choice, basis_level>> predict_without(const strategy_model& model, direction which,
                                                                       const observation& held_out) {
  for (basis_level level : basis_levels) {
    const observation_group* group = model.group(which, level, held_out.device);
    if (!group) continue;
    uint32_t others = group->observations - 1;
    if (others == 0 || (level != basis_level::all && others < enough_observations)) continue;
    if (auto choice = choose_strategy(*group, &held_out.of(which))) return std::pair{*choice, level};
  }
  return std::nullopt;
}

// The strategy that is best in most observations, leaving out one's own best when given;
// ties go to strategy order.
uint32_t most_often_best(const std::vector<uint32_t>& best_counts, uint32_t left_out) {
  uint32_t chosen = strategy_table::none, most = 0;
  for (uint32_t id = 0; id < best_counts.size(); ++id) {
    uint32_t count = best_counts[id] - (id == left_out ? 1 : 0);
    if (count > most) chosen = id, most = count;
  }
  return chosen;
}

direction_evaluation evaluate_direction(const strategy_model& model, direction which) {
  direction_evaluation result;
  std::vector<uint32_t> best_counts(model.strategies().size(), 0);
  for (const observation& one : model.observations())
    if (one.of(which).best != strategy_table::none) ++best_counts[one.of(which).best], ++result.observations;
  uint32_t most_often = most_often_best(best_counts, strategy_table::none);
  if (most_often != strategy_table::none) result.most_often = model.strategies()[most_often];
  uint32_t fixed = model.strategies().find(fixed_strategy);

  reached_by_method overall;
  std::array<reached_by_method, 4> by_level;
  for (const observation& one : model.observations()) {
    const observed_direction& held_out = one.of(which);
    if (held_out.best == strategy_table::none) continue;
    auto predicted = predict_without(model, which, one);
    uint32_t predicted_id = predicted ? predicted->first.id : strategy_table::none;
    uint32_t baseline = most_often_best(best_counts, held_out.best);
    for (reached_by_method* into :
         {&overall, predicted ? &by_level[static_cast<size_t>(predicted->second)] : nullptr}) {
      if (!into) continue;
      into->model.add(held_out, predicted_id);
      into->most_often.add(held_out, baseline);
      into->fixed.add(held_out, fixed);
    }
  }
  result.overall = overall.figures();
  for (size_t level = 0; level < by_level.size(); ++level) result.by_level[level] = by_level[level].figures();
  return result;
}

}  // namespace

model_evaluation evaluate_model(const strategy_model& model) {
  return {evaluate_direction(model, direction::read), evaluate_direction(model, direction::write)};
}
