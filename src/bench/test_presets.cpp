#include "bench/test_presets.h"

namespace {
constexpr uint64_t K = 1024;
constexpr uint64_t M = 1024 * 1024;

std::vector<uint64_t> powers_of_two(int from, int to) {
  std::vector<uint64_t> sizes;
  for (int e = from; e <= to; ++e) sizes.push_back(uint64_t(1) << e);
  return sizes;
}
}  // namespace

// The table keeps its columns.
// clang-format off
const test_preset test_presets[preset_count] = {
    //  name          buffer sizes                                          counts                       cap       ms    read modes
    {L"Quick",    {8 * K, 64 * K, 128 * K, 256 * K, 512 * K, 1 * M, 4 * M}, {1, 4, 8, 16, 32},            64 * M,  250,  0x11},
    {L"Standard", {8 * K, 16 * K, 32 * K, 64 * K, 128 * K, 256 * K, 512 * K,
                   1 * M, 2 * M, 4 * M, 8 * M, 16 * M},                     {1, 2, 4, 8, 16},             64 * M,  1000, 0x13},
    {L"Extended", powers_of_two(10, 26),                                    {1, 2, 4, 8, 12, 16, 24, 32}, 256 * M, 1000, 0x13},
};
// clang-format on
