// How well the recommendation does: each observation is held out in turn, predicted from the
// others, and scored by the efficiency the predicted strategy reaches in it; beside it the two
// choices a user would otherwise make.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "strategy_model.h"

// The strategy common benchmarks use for large sequential transfers.
constexpr strategy fixed_strategy{1048576, 8, 0};  // 1 MiB x 8, "buf"

struct method_figures {
  uint32_t evaluated = 0;   // held-out observations that measured the strategy chosen for them
  uint32_t unmeasured = 0;  // held-out observations without that measurement (or without a choice)
  double median = 0, p10 = 0, within_5_percent = 0;
};

struct level_figures {
  method_figures model, most_often, fixed;
};

struct direction_evaluation {
  uint32_t observations = 0;  // with a measurement in this direction
  level_figures overall;
  // By the level the held-out prediction came from.
  std::array<level_figures, 4> by_level;
  std::optional<strategy> most_often;  // over all observations
};

struct model_evaluation {
  direction_evaluation read, write;
  const direction_evaluation& of(direction which) const { return which == direction::read ? read : write; }
};

model_evaluation evaluate_model(const strategy_model& model);
