#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "bench/data_buf.h"
#include "bench/test_file.h"
#include "bench/test_runner.h"
#include "engine_support.h"

namespace {
using combo_key = std::tuple<bool, uint32_t, uint32_t, uint32_t>;

// 16 read and 16 write tests in random order on a small file.
test_def random_order_profile(const std::wstring& path) {
  test_def d;
  d.path = path;
  d.file_size = 65536;
  d.buffer_sizes = {4096, 8192, 16384, 32768};
  d.buffer_counts = {1, 2, 3, 4};
  d.read_modes = 0x08;
  d.write_modes = 0x08;
  d.order = 1;
  d.duration = 0;
  d.update_counts();
  return d;
}

struct order_run {
  const test_def* def;
  std::optional<uint32_t> seed;
  std::vector<combo_key> reads, writes;
  bool ok = false;
};

// Each run on a thread of its own, as the window starts one per run: the C runtime's generator
// starts afresh on every thread.
DWORD WINAPI run_on_thread(void* param) {
  order_run& r = *static_cast<order_run*>(param);
  recording_runner cb;
  captured_log log;
  r.ok = execute_tests(*r.def, cb, *log.log, nullptr, 1, r.seed);
  for (const test_run& t : cb.runs)
    (t.read ? r.reads : r.writes).emplace_back(t.read, t.buffer_size, t.buffer_count, t.open_flags);
  return 0;
}

order_run run_once(const test_def& def, std::optional<uint32_t> seed) {
  order_run r{&def, seed, {}, {}};
  HANDLE thread = CreateThread(nullptr, 0, run_on_thread, &r, 0, nullptr);
  EXPECT_NE(thread, nullptr);
  if (thread) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.reads.size(), 16u);
  EXPECT_EQ(r.writes.size(), 16u);
  return r;
}
}  // namespace

TEST(run_order, every_run_draws_its_own_order_and_a_seed_fixes_it) {
  scratch_dir dir(L"run_order");
  const test_def d = random_order_profile(dir.path());
  const order_run first = run_once(d, std::nullopt), second = run_once(d, std::nullopt);
  EXPECT_NE(first.reads, second.reads);  // 16! orders: the same one twice is no chance
  EXPECT_NE(first.writes, second.writes);

  // The same seed, the same order in both phases, however the tests between went.
  const order_run a = run_once(d, 7), b = run_once(d, 7), other = run_once(d, 8);
  EXPECT_EQ(a.reads, b.reads);
  EXPECT_EQ(a.writes, b.writes);
  EXPECT_NE(a.reads, other.reads);
  EXPECT_NE(a.reads, a.writes);  // each phase draws on
}

TEST(run_order, offsets_draw_from_their_own_generator) {
  rand15 a(3), b(3);
  std::vector<uint64_t> first, again;
  for (int i = 0; i < 50; ++i) first.push_back(choose_offset(4096, false, 0, 1 << 24, a));
  std::srand(1);  // the C runtime's generator moves nothing
  for (int i = 0; i < 50; ++i) again.push_back(choose_offset(4096, false, 0, 1 << 24, b));
  EXPECT_EQ(first, again);
  std::sort(first.begin(), first.end());
  EXPECT_GT(std::unique(first.begin(), first.end()) - first.begin(), 45);
}
