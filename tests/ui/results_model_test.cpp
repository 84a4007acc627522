#include "ui/results_model.h"

#include <gtest/gtest.h>

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

// A plain cancel, the preparation and the rows are the main window model's runs' to show.
TEST(results_model, a_cancel_of_the_run_stops_the_next_phase_and_a_window_gone_any_phase) {
  fake_view view;
  results_model model(&view);
  model.start_run(small_profile());
  EXPECT_TRUE(model.on_phase(true));
  model.request_stop(stop_kind::end_run);
  model.request_stop(stop_kind::end_phase);  // a later plain cancel does not weaken it
  EXPECT_FALSE(model.on_test_done(completed(true, 1, 4096, raw, 1e6)));
  EXPECT_FALSE(model.on_phase(false));
  EXPECT_EQ(model.stop_request(), stop_kind::end_run);
  EXPECT_EQ(view.cancel_given_back, 0);
  view.exists = false;
  model.start_run(small_profile());
  EXPECT_FALSE(model.on_phase(true));
  EXPECT_EQ(view.phases, 2);
}

// Each take says where its new results begin in each direction and in the rows; what a run left
// behind goes at the next start.
TEST(results_model, taking_sorts_by_direction_and_a_new_run_starts_empty) {
  results_model model;
  model.start_run(small_profile());
  model.on_test_done(completed(true, 1, 4096, raw, 1e6));
  model.on_test_done(completed(false, 1, 4096, raw, 3e6));
  model.take_pending_results();
  model.on_test_done(completed(false, 2, 8192, raw, 1e6));
  const new_results first = model.take_pending_results();
  EXPECT_EQ(first.first_read, 1u);
  EXPECT_EQ(first.first_write, 1u);
  EXPECT_EQ(first.first_row, 5u);  // two headings, two rows and the gap between them
  EXPECT_EQ(model.read_results().size(), 1u);
  EXPECT_EQ(model.write_results().size(), 2u);
  model.on_test_done(completed(true, 1, 4096, raw, 1e6));
  model.on_init_progress(1, 2);
  model.on_phase(true);
  model.start_run(small_profile());
  EXPECT_EQ(model.run_phase(), 0);
  EXPECT_EQ(model.init_progress().total, 0u);
  EXPECT_EQ(model.take_pending_results().first_row, 0u);
  EXPECT_EQ(model.read_results().size(), 0u);
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
