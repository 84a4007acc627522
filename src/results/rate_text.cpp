#include "results/rate_text.h"

#include "bench/test_def.h"
#include "support/text.h"

double binary_mbps(double rate) { return rate / 1024 / 1024; }

double decimal_mbps(double rate) { return rate / 1000 / 1000; }

std::string mode_label(uint32_t open_flags) {
  std::string name = mode_names[mode_index(open_flags)];
  if (name.size() < 7) name.resize(7, ' ');
  return name;
}

std::wstring mode_label_w(uint32_t open_flags) { return from_utf8(mode_label(open_flags)); }
