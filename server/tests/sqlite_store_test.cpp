// The SQLite file's own promises: older layouts migrate, commits are synced before insert
// returns, the files are private, and a backup is a whole database of one moment.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <memory>
#include <vector>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "share_store.h"
#include "temp_folder.h"
#include "test_database.h"
#include "text_packing.h"

namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int file_mode(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 0777) : -1;
}

std::string unhex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

new_share small_share(const std::string& id) {
  new_share share;
  share.id = id;
  share.received_at = 1706691900;
  share.client_address = "127.0.0.1";
  share.contents.kind = "report";
  share.contents.report = "Recorded 2024/01/31\r\n";
  share.contents.stack_scan = "scan";
  return share;
}

// Counts syncs of WAL files. The real file system fills our file object itself; behind it we
// keep its own methods and whether it is a WAL file, and only xSync is ours.
std::atomic<int> wal_syncs{0};
sqlite3_vfs* real_vfs = nullptr;
struct file_note {
  const sqlite3_io_methods* real_methods;
  bool wal;
};
// One copy per table of the real file system's (database files and journals differ).
std::vector<std::pair<const sqlite3_io_methods*, std::unique_ptr<sqlite3_io_methods>>> counting_methods;

file_note* note_of(sqlite3_file* file) {
  size_t offset =
      (static_cast<size_t>(real_vfs->szOsFile) + alignof(file_note) - 1) / alignof(file_note) * alignof(file_note);
  return reinterpret_cast<file_note*>(reinterpret_cast<char*>(file) + offset);
}

// While `hold_syncs` is set, the first WAL sync waits until it is cleared.
std::mutex hold_mutex;
std::condition_variable hold_changed;
bool hold_syncs = false, sync_held = false;

int counting_sync(sqlite3_file* file, int flags) {
  file_note* note = note_of(file);
  if (note->wal) {
    ++wal_syncs;
    std::unique_lock<std::mutex> lock(hold_mutex);
    if (hold_syncs && !sync_held) {
      sync_held = true;
      hold_changed.notify_all();
      hold_changed.wait(lock, [] { return !hold_syncs; });
    }
  }
  return note->real_methods->xSync(file, flags);
}

int counting_open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* out_flags) {
  int result = real_vfs->xOpen(real_vfs, name, file, flags, out_flags);
  if (result != SQLITE_OK || !file->pMethods) return result;
  file_note* note = note_of(file);
  note->real_methods = file->pMethods;
  note->wal = (flags & SQLITE_OPEN_WAL) != 0;
  auto known = std::find_if(counting_methods.begin(), counting_methods.end(),
                            [file](const auto& entry) { return entry.first == file->pMethods; });
  if (known == counting_methods.end()) {
    auto copy = std::make_unique<sqlite3_io_methods>(*file->pMethods);
    copy->xSync = counting_sync;
    known = counting_methods.insert(counting_methods.end(), {file->pMethods, std::move(copy)});
  }
  file->pMethods = known->second.get();
  return SQLITE_OK;
}

// The counting file system as the default while it lives.
struct counting_vfs_scope {
  sqlite3_vfs counting{};
  counting_vfs_scope() {
    real_vfs = sqlite3_vfs_find(nullptr);
    counting = *real_vfs;
    counting.zName = "counting";
    counting.szOsFile = real_vfs->szOsFile + static_cast<int>(sizeof(file_note) + alignof(file_note));
    counting.xOpen = counting_open;
    if (sqlite3_vfs_register(&counting, 1) != SQLITE_OK) throw std::runtime_error("sqlite3_vfs_register failed");
  }
  ~counting_vfs_scope() { sqlite3_vfs_unregister(&counting); }
};

}  // namespace

TEST(sqlite_store, a_database_of_the_first_layout_migrates_and_keeps_its_shares) {
  temp_folder folder;
  run_sql(folder.database(), read_file(std::string(TEST_DATA_DIR) + "/v1_shares.sql"));
  std::string error;
  auto store = share_store::open(folder.database(), error);
  ASSERT_TRUE(store) << error;
  EXPECT_EQ(query_text(folder.database(), "PRAGMA user_version"), "3");
  // Their few lines are no whole report: parsed and counted as such.
  EXPECT_EQ(count_rows(folder.database(), "share_runs WHERE skipped = 'not a report'"), 2);
  // The package and the unpacked texts are gone; each text is kept once, packed.
  EXPECT_EQ(
      count_rows(folder.database(), "pragma_table_info('shares') WHERE name IN ('package', 'report', 'stack_scan')"),
      0);
  const std::string report =
      "Recorded                        2024/01/31 09:05:00\r\n"
      "Device.type                     SSD\r\n"
      "Read.best.speed.decimal         560.1 MBps\r\n";
  auto share = store->find_share("f1RMluUB5qC2FRWjr8LNSw");
  ASSERT_TRUE(share);
  EXPECT_EQ(share->kind, "screenshot");
  EXPECT_EQ(share->received_at, 1796716225);
  EXPECT_EQ(share->report, report);
  ASSERT_EQ(share->images.size(), 2u);
  EXPECT_EQ(share->images[1].name, "read_graph");
  auto png = store->find_png("f1RMluUB5qC2FRWjr8LNSw", "screenshot");
  ASSERT_TRUE(png);
  EXPECT_EQ(png->size(), 81u);
  std::string scan =
      unhex(query_text(folder.database(), "SELECT hex(stack_scan_packed) FROM shares WHERE kind = 'report'"));
  EXPECT_EQ(unpack_text(scan, 26), "scan line 1\r\nscan line 2\r\n");
  EXPECT_EQ(store->find_share("d93Ga0CGJ2voRMTIMSygsw")->report, report);
  EXPECT_EQ(query_text(folder.database(), "PRAGMA integrity_check"), "ok");
}

TEST(sqlite_store, a_failed_migration_leaves_the_old_layout_as_it_was) {
  temp_folder folder;
  run_sql(folder.database(), read_file(std::string(TEST_DATA_DIR) + "/v1_shares.sql"));
  // A view over a dropped column makes the last step fail.
  run_sql(folder.database(), "CREATE VIEW reports AS SELECT report FROM shares");
  std::string error;
  EXPECT_FALSE(share_store::open(folder.database(), error));
  EXPECT_NE(error.find("report"), std::string::npos) << error;
  EXPECT_EQ(query_text(folder.database(), "PRAGMA user_version"), "1");
  EXPECT_EQ(count_rows(folder.database(), "shares WHERE length(package) > 0 AND length(report) = 134"), 2);
  EXPECT_EQ(count_rows(folder.database(), "pragma_table_info('shares') WHERE name = 'report_packed'"), 0);
}

TEST(sqlite_store, its_files_are_private_and_a_commit_is_synced_before_insert_returns) {
  counting_vfs_scope counting;
  temp_folder folder;
  std::string error;
  auto store = share_store::open(folder.database(), error);
  ASSERT_TRUE(store) << error;
  wal_syncs = 0;
  ASSERT_TRUE(store->insert(small_share("DAAAAAAAAAAAAAAAAAAAAA"), error)) << error;
  EXPECT_GE(wal_syncs.load(), 1);
  for (const char* suffix : {"", "-wal", "-shm"}) EXPECT_EQ(file_mode(folder.database() + suffix), 0600) << suffix;
}

TEST(sqlite_store, inserts_arriving_during_a_sync_share_the_next_commit_and_fail_alone) {
  counting_vfs_scope counting;
  temp_folder folder;
  std::string error;
  auto store = share_store::open(folder.database(), error);
  ASSERT_TRUE(store) << error;
  // Fails after the share's own row is in: its savepoint must take that row back out.
  new_share bad = small_share("BADAAAAAAAAAAAAAAAAAAA");
  bad.contents.images = {{"screenshot", 1, 1, "png"}};
  fail_inserts(folder.database(), "share_images", "NEW.share_id = 'BADAAAAAAAAAAAAAAAAAAA'", "refused");
  wal_syncs = 0;
  {
    std::lock_guard<std::mutex> lock(hold_mutex);
    hold_syncs = true;
  }
  std::string first_error;
  bool first_stored = false;
  std::thread first([&] { first_stored = store->insert(small_share("FIRSTAAAAAAAAAAAAAAAAA"), first_error); });
  {
    std::unique_lock<std::mutex> lock(hold_mutex);
    ASSERT_TRUE(hold_changed.wait_for(lock, std::chrono::seconds(10), [] { return sync_held; }));
  }
  std::vector<new_share> shares;
  for (int i = 0; i < 6; ++i) shares.push_back(small_share("GOOD" + std::to_string(i) + "AAAAAAAAAAAAAAAAA"));
  shares.push_back(bad);
  std::vector<std::string> errors(shares.size());
  std::vector<int> stored(shares.size(), -1);
  std::vector<std::thread> later;
  for (size_t i = 0; i < shares.size(); ++i)
    later.emplace_back([&, i] { stored[i] = store->insert(shares[i], errors[i]); });
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // all of them queue meanwhile
  {
    std::lock_guard<std::mutex> lock(hold_mutex);
    hold_syncs = false;
  }
  hold_changed.notify_all();
  first.join();
  for (std::thread& thread : later) thread.join();
  EXPECT_TRUE(first_stored) << first_error;
  for (size_t i = 0; i + 1 < shares.size(); ++i) EXPECT_EQ(stored[i], 1) << errors[i];
  EXPECT_EQ(stored.back(), 0);
  EXPECT_NE(errors.back().find("refused"), std::string::npos) << errors.back();
  EXPECT_EQ(count_rows(folder.database(), "shares"), 7);
  EXPECT_EQ(count_rows(folder.database(), "shares WHERE id = 'BADAAAAAAAAAAAAAAAAAAA'"), 0);
  // The first commit, then one for the seven that queued behind it (a third, had one been slow).
  EXPECT_LE(wal_syncs.load(), 3);
}

TEST(sqlite_store, a_backup_is_a_private_whole_copy_and_never_replaces_a_file) {
  temp_folder folder;
  std::string error;
  auto store = share_store::open(folder.database(), error);
  ASSERT_TRUE(store) << error;
  ASSERT_TRUE(store->insert(small_share("EAAAAAAAAAAAAAAAAAAAAA"), error)) << error;
  std::string copy = folder.path + "/copy.db";
  ASSERT_TRUE(store->backup(copy, error)) << error;
  EXPECT_EQ(file_mode(copy), 0600);
  EXPECT_FALSE(std::filesystem::exists(copy + "-wal"));
  EXPECT_EQ(query_text(copy, "PRAGMA integrity_check"), "ok");
  auto copied = share_store::open(copy, error);
  ASSERT_TRUE(copied) << error;
  EXPECT_EQ(copied->find_share("EAAAAAAAAAAAAAAAAAAAAA")->report, "Recorded 2024/01/31\r\n");

  std::ofstream(folder.path + "/taken") << "keep me";
  EXPECT_FALSE(store->backup(folder.path + "/taken", error));
  EXPECT_EQ(error, folder.path + "/taken exists; a backup never replaces a file");
  EXPECT_EQ(read_file(folder.path + "/taken"), "keep me");
  EXPECT_FALSE(store->backup(folder.path + "/no/such/folder/copy.db", error));
  EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path))
    EXPECT_EQ(entry.path().string().find(".partial"), std::string::npos) << entry.path();
}
