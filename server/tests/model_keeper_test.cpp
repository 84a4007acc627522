// The keeper reads only what is new, and everything again when another server's transaction
// committed a lower seq after a higher one had been read: played on the suite's store, whose
// runs are held back and put in again in the order another server's commits could take.
#include <gtest/gtest.h>

#include "golden.h"
#include "model_keeper.h"
#include "report_runs.h"
#include "synthetic_reports.h"
#include "temp_folder.h"
#include "test_database.h"

namespace {

std::shared_ptr<const model_snapshot> after_build(const model_keeper& keeper, uint64_t generation) {
  eventually([&] { return keeper.current()->generation != generation; });
  return keeper.current();
}

}  // namespace

TEST(model_keeper, reads_new_runs_and_all_again_when_an_earlier_one_appears_late) {
  temp_folder folder;
  test_database database(folder.path);
  std::string error;
  auto store = share_store::open(database.address(), error);
  ASSERT_TRUE(store) << error;
  // Seq 1 to 5, of five machines; the fourth is cut short.
  for (uint32_t machine = 1; machine <= 5; ++machine) {
    new_share share{std::string(21, 'A') + std::to_string(machine), 1706691900, "127.0.0.1", "", "", {}};
    share.contents = {"report", synthetic_report(synthetic_fast_ssd, machine, 1), "scan", {}};
    if (machine == 4) share.contents.report.resize(700);
    ASSERT_TRUE(store->insert(share, error)) << error;
  }
  run_sql(database.address(),
          "CREATE TABLE held AS SELECT * FROM share_runs WHERE seq IN (2, 5);"
          "DELETE FROM share_runs WHERE seq IN (2, 5)");
  model_keeper keeper(*store, true, 3600);
  auto first = keeper.current();
  EXPECT_EQ(first->model.runs(), 2u);
  EXPECT_EQ(first->skipped.at(skip_cut_short), 1u);

  run_sql(database.address(), "INSERT INTO share_runs SELECT * FROM held WHERE seq = 5");
  keeper.runs_added();
  auto second = after_build(keeper, first->generation);
  EXPECT_EQ(second->model.runs(), 3u);

  // Seq 2 committed after 5 had been read: nothing above 5 is new, but the count tells.
  run_sql(database.address(), "INSERT INTO share_runs SELECT * FROM held WHERE seq = 2");
  keeper.runs_added();
  auto third = after_build(keeper, second->generation);
  EXPECT_EQ(third->model.runs(), 4u);
  EXPECT_EQ(third->model.observations().size(), 4u);
  EXPECT_EQ(third->skipped.at(skip_cut_short), 1u);
  EXPECT_EQ(third->left_out, 0u);
}
