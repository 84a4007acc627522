// Runs into observations: all runs of one machine (its "MD5(MachineGuid)") on one device count
// once, with the median rate of each strategy, so a hundred uploads weigh as much as one.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "strategy_types.h"

// Every strategy any run measured, numbered in strategy order.
class strategy_table {
 public:
  uint32_t id_of(const strategy& what);       // adds it when new; call before numbers are handed out
  void number();                              // fixes the numbering in strategy order
  uint32_t find(const strategy& what) const;  // `none` when absent
  const strategy& operator[](uint32_t id) const { return strategies_[id]; }
  size_t size() const { return strategies_.size(); }
  static constexpr uint32_t none = UINT32_MAX;

 private:
  std::map<strategy, uint32_t> ids_;
  std::vector<strategy> strategies_;
};

struct rated_strategy {
  uint32_t id = 0;
  double efficiency = 0;   // the median rate over the observation's best median rate
  bool near_best = false;  // within 5% of that best
};

// One direction of an observation: the strategies its runs measured, by id.
struct observed_direction {
  std::vector<rated_strategy> rated;     // by id
  uint32_t best = strategy_table::none;  // the first strategy of highest rate; none: nothing measured
  const rated_strategy* find(uint32_t id) const;
};

struct observation {
  std::string machine;
  device_description device;
  bool synthetic = false;
  size_t runs = 0;
  observed_direction reads, writes;
  const observed_direction& of(direction which) const { return which == direction::read ? reads : writes; }
};

// A failed test counts as a rate of 0; a strategy a run never reached is not counted.
std::vector<observation> gather_observations(const std::vector<report_run>& runs, strategy_table& strategies);

// The median of the values (sorted here), and a percentile between neighbouring ranks: the
// value at rank p x (n - 1), counting from 0.
double percentile(std::vector<double> values, double p);
