#include "bench/test_combo.h"

#include <algorithm>
#include <utility>

#include "support/digest.h"
#include "support/fatal.h"

void generate_combo_vec(const test_def& def, bool read, std::vector<test_combo>& out, rand15& shuffle) {
  out.clear();
  if (def.order < 1 || def.order > 3) fatal("generate_combo_vec");
  const uint64_t S = def.buffer_sizes.size();
  const uint64_t C = def.buffer_counts.size();
  const uint64_t N = S * C * mode_count;
  const uint32_t mask = read ? def.read_modes : def.write_modes;
  for (uint64_t i = 0; i < N; ++i) {
    uint64_t mode, size_index, count_index;
    if (def.order == 3) {
      mode = i % mode_count;
      count_index = (i / mode_count) % C;
      size_index = (i / mode_count / C) % S;
    } else {
      count_index = i % C;
      size_index = (i / C) % S;
      mode = (i / C / S) % mode_count;
    }
    const uint64_t size = def.buffer_sizes[size_index];
    const uint32_t count = def.buffer_counts[count_index];
    if (!(mask & (1u << mode)) || !def.within_cap(size, count)) continue;
    out.push_back({size, count, mode_flags[mode]});
  }
  if (def.order == 1) {
    // Fisher-Yates; a list longer than one draw reaches takes two.
    constexpr uint64_t draw_range = 32768;
    for (size_t k = out.size(); k > 1; --k) {
      uint64_t draw = shuffle.next();
      if (k > draw_range) draw = draw * draw_range + shuffle.next();
      size_t j = size_t(draw % k);
      std::swap(out[k - 1], out[j]);
    }
  }
}

void generate_combo_vec(const test_def& def, bool read, std::vector<test_combo>& out) {
  uint32_t seed = 0;
  random_bytes(&seed, sizeof seed);
  rand15 shuffle(seed);
  generate_combo_vec(def, read, out, shuffle);
}

void order_for_pass(std::vector<test_combo>& combos, uint32_t pass) {
  if (pass % 2 == 1) std::reverse(combos.begin(), combos.end());
}
