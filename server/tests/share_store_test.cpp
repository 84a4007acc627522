// The database: created on first open, versioned, WAL, and all of a share or none of it.
#include <gtest/gtest.h>

#include <filesystem>

#include "server_process.h"
#include "share_store.h"

namespace {

struct temp_database {
  std::string folder;
  temp_database() {
    char pattern[] = "/tmp/folvi-store-test.XXXXXX";
    folder = mkdtemp(pattern);
  }
  ~temp_database() { std::filesystem::remove_all(folder); }
  std::string path() const { return folder + "/shares.db"; }
};

new_share sample_share(const std::string& id) {
  new_share share;
  share.id = id;
  share.received_at = 1706691900;
  share.client_address = "127.0.0.1";
  share.user_agent = "FOLVI Benchmark, v. 0.1.2.3";
  share.package = std::string("PK\x03\x04", 4);
  share.contents.kind = "screenshot";
  share.contents.report = "report \xED\xA0\x80 bytes kept as sent";
  share.contents.stack_scan = "scan";
  share.contents.images = {{"screenshot", 3, 2, "png-1"}, {"read_graph", 1, 1, "png-2"}};
  return share;
}

}  // namespace

TEST(share_store, creates_a_versioned_wal_database_and_reopens_it) {
  temp_database db;
  std::string error;
  {
    auto store = share_store::open(db.path(), error);
    ASSERT_TRUE(store) << error;
    ASSERT_TRUE(store->insert(sample_share("AAAAAAAAAAAAAAAAAAAAAA"), error)) << error;
  }
  auto store = share_store::open(db.path(), error);
  ASSERT_TRUE(store) << error;
  auto share = store->find_share("AAAAAAAAAAAAAAAAAAAAAA");
  ASSERT_TRUE(share);
  EXPECT_EQ(share->kind, "screenshot");
  EXPECT_EQ(share->report, sample_share("").contents.report);
  ASSERT_EQ(share->images.size(), 2u);
  EXPECT_EQ(share->images[0].name, "screenshot");
  EXPECT_EQ(share->images[0].width, 3u);
  EXPECT_EQ(store->find_png("AAAAAAAAAAAAAAAAAAAAAA", "read_graph"), "png-2");
  EXPECT_FALSE(store->find_png("AAAAAAAAAAAAAAAAAAAAAA", "write_graph"));
  EXPECT_FALSE(store->find_share("BAAAAAAAAAAAAAAAAAAAAA"));
  EXPECT_EQ(count_rows(db.path(), "pragma_user_version WHERE user_version = 1"), 1);
  EXPECT_EQ(count_rows(db.path(), "pragma_journal_mode WHERE journal_mode = 'wal'"), 1);
}

TEST(share_store, refuses_a_database_of_a_newer_schema) {
  temp_database db;
  run_sql(db.path(), "PRAGMA user_version = 7");
  std::string error;
  EXPECT_FALSE(share_store::open(db.path(), error));
  EXPECT_NE(error.find("schema version 7"), std::string::npos) << error;
}

TEST(share_store, a_failure_midway_leaves_nothing_behind) {
  temp_database db;
  std::string error;
  auto store = share_store::open(db.path(), error);
  ASSERT_TRUE(store) << error;
  run_sql(db.path(),
          "CREATE TRIGGER no_graphs BEFORE INSERT ON share_images WHEN NEW.name = 'read_graph' "
          "BEGIN SELECT RAISE(ABORT, 'disk full'); END");
  EXPECT_FALSE(store->insert(sample_share("CAAAAAAAAAAAAAAAAAAAAA"), error));
  EXPECT_NE(error.find("disk full"), std::string::npos) << error;
  EXPECT_EQ(count_rows(db.path(), "shares"), 0);
  EXPECT_EQ(count_rows(db.path(), "share_images"), 0);
  // The same id again: the failed attempt left no row to collide with.
  run_sql(db.path(), "DROP TRIGGER no_graphs");
  EXPECT_TRUE(store->insert(sample_share("CAAAAAAAAAAAAAAAAAAAAA"), error)) << error;
  EXPECT_EQ(count_rows(db.path(), "share_images"), 2);
}
