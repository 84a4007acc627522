#pragma once

#include <cstdint>
#include <vector>

#include "bench/test_def.h"

struct test_combo {
  uint64_t buffer_size;
  uint32_t buffer_count;
  uint32_t open_flags;
};

// The ordered single tests of one phase; its length equals read_tests or write_tests.
void generate_combo_vec(const test_def& def, bool read, std::vector<test_combo>& out);
