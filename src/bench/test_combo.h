#pragma once

#include <cstdint>
#include <vector>

#include "bench/rand15.h"
#include "bench/test_def.h"

struct test_combo {
  uint64_t buffer_size;
  uint32_t buffer_count;
  uint32_t open_flags;
};

// The ordered single tests of one phase; its length equals read_tests or write_tests. A random
// order (1) draws its permutation from `shuffle`; the form without one draws a seed of its own.
void generate_combo_vec(const test_def& def, bool read, std::vector<test_combo>& out, rand15& shuffle);
void generate_combo_vec(const test_def& def, bool read, std::vector<test_combo>& out);

// Passes after the first run in reverse on every other pass, so that a slow drift of the device
// favours no end of the list; a random order has been drawn anew for each pass.
void order_for_pass(std::vector<test_combo>& combos, uint32_t pass);
