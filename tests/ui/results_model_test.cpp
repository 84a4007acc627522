#include "ui/results_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "bench/test_def.h"
#include "run_records.h"

constexpr uint32_t raw = flag_no_buffering;

namespace {
struct fake_view : run_view_cb {
  bool exists = true;
  int cancel_given_back = 0;
  int phases = 0;
  bool view_exists() override { return exists; }
  void cancel_available_again() override { ++cancel_given_back; }
  void phase_started(bool, uint32_t, const wchar_t*) override { ++phases; }
};

// Runs a phase the way the runner does: stops taking tests at a false answer.
int drive_phase(results_model& model, bool read, int tests, std::function<void(int)> before_test = {}) {
  if (!model.on_phase(read)) return -1;
  int done = 0;
  for (int i = 0; i < tests; ++i) {
    if (before_test) before_test(i);
    ++done;
    if (!model.on_test_done(completed(read, 1, 4096, raw, 1e6 * (i + 1)))) break;
  }
  return done;
}

test_def small_profile() {
  test_def def;
  def.buffer_sizes = {4096, 8192};
  def.buffer_counts = {1, 2};
  def.read_modes = 0x01;
  def.write_modes = 0x03;
  def.update_counts();
  return def;
}
}  // namespace

TEST(results_model, plain_cancel_ends_only_the_running_phase) {
  fake_view view;
  results_model model(&view);
  model.start_run(small_profile());
  EXPECT_EQ(drive_phase(model, true, 4,
                        [&](int i) {
                          if (i == 1) model.request_stop(stop_kind::end_phase);
                        }),
            2);
  EXPECT_EQ(drive_phase(model, false, 8), 8);
  EXPECT_EQ(view.cancel_given_back, 1);
  EXPECT_EQ(model.stop_request(), stop_kind::none);
  model.take_pending_results();
  EXPECT_EQ(model.read_results().size(), 2u);
  EXPECT_EQ(model.write_results().size(), 8u);
}

TEST(results_model, cancel_of_the_run_stops_the_next_phase) {
  fake_view view;
  results_model model(&view);
  model.start_run(small_profile());
  EXPECT_EQ(drive_phase(model, true, 4,
                        [&](int i) {
                          if (i == 0) model.request_stop(stop_kind::end_run);
                        }),
            1);
  EXPECT_EQ(drive_phase(model, false, 8), -1);
  EXPECT_EQ(view.cancel_given_back, 0);
  EXPECT_EQ(model.stop_request(), stop_kind::end_run);
  // A later plain cancel does not weaken it.
  model.request_stop(stop_kind::end_phase);
  EXPECT_EQ(model.stop_request(), stop_kind::end_run);
}

TEST(results_model, any_stop_cancels_the_preparation) {
  results_model model;
  model.start_run(small_profile());
  EXPECT_TRUE(model.on_init_progress(16, 64));
  model.request_stop(stop_kind::end_phase);
  EXPECT_FALSE(model.on_init_progress(32, 64));
  EXPECT_EQ(model.init_progress().done, 32u);
  EXPECT_EQ(model.init_progress().total, 64u);
}

TEST(results_model, window_gone_stops_at_the_phase) {
  fake_view view;
  view.exists = false;
  results_model model(&view);
  model.start_run(small_profile());
  EXPECT_FALSE(model.on_phase(true));
  EXPECT_EQ(view.phases, 0);
}

TEST(results_model, taking_sorts_by_direction_and_adds_rows) {
  results_model model;
  model.start_run(small_profile());
  model.on_test_done(completed(true, 1, 4096, raw, 1e6));
  model.on_test_done(completed(true, 2, 4096, raw, 2e6));
  new_results first = model.take_pending_results();
  EXPECT_EQ(first.first_read, 0u);
  EXPECT_EQ(first.first_row, 0u);
  EXPECT_EQ(model.rows().size(), 3u);  // heading and two rows

  model.on_test_done(completed(true, 2, 8192, raw, 1e6));
  model.on_test_done(completed(false, 1, 4096, raw, 3e6));
  first = model.take_pending_results();
  EXPECT_EQ(first.first_read, 2u);
  EXPECT_EQ(first.first_write, 0u);
  EXPECT_EQ(first.first_row, 3u);
  EXPECT_EQ(model.read_results().size(), 3u);
  EXPECT_EQ(model.write_results().size(), 1u);
  EXPECT_EQ(model.rows().size(), 7u);  // a read row, the gap, the write heading and row
  EXPECT_EQ(model.best_read_so_far(), 2e6);
  EXPECT_EQ(model.best_write_so_far(), 3e6);

  first = model.take_pending_results();
  EXPECT_EQ(first.first_row, 7u);
  EXPECT_EQ(model.rows().size(), 7u);
}

// What a run left behind goes at the next start (the results, rows and stop are the main window
// model's runs' to show).
TEST(results_model, a_new_run_starts_empty) {
  results_model model;
  model.start_run(small_profile());
  model.on_test_done(completed(true, 1, 4096, raw, 1e6));
  model.on_init_progress(1, 2);
  model.on_phase(true);
  model.start_run(small_profile());
  EXPECT_EQ(model.run_phase(), 0);
  EXPECT_EQ(model.init_progress().total, 0u);
  EXPECT_EQ(model.take_pending_results().first_row, 0u);
  EXPECT_EQ(model.rows().size(), 0u);
}

TEST(results_model, records_cross_threads_in_order) {
  results_model model;
  model.start_run(small_profile());
  constexpr int count = 2000;
  std::thread worker([&] {
    for (int i = 0; i < count; ++i) model.on_test_done(completed(i % 2 == 0, uint32_t(i), 4096, raw, 1));
  });
  while (model.read_results().size() + model.write_results().size() < count) model.take_pending_results();
  worker.join();
  for (size_t i = 0; i < model.read_results().size(); ++i) EXPECT_EQ(model.read_results()[i].buffer_count, 2 * i);
  EXPECT_EQ(model.write_results().size(), size_t(count / 2));
}
