#include "sqlite_share_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <vector>

#include "report_runs.h"
#include "run_record.h"
#include "sqlite_backup.h"
#include "sqlite_handles.h"
#include "text_packing.h"

namespace {

std::string last_error(sqlite3* db, const char* doing) { return std::string(doing) + ": " + sqlite3_errmsg(db); }

bool exec(sqlite3* db, const char* sql, std::string& error) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
  error = message ? message : "unknown SQLite error";
  sqlite3_free(message);
  return false;
}

sqlite_statement prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
  return sqlite_statement(statement);
}

void bind_text(sqlite3_stmt* statement, int index, const std::string& text) {
  sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void bind_blob(sqlite3_stmt* statement, int index, const std::string& bytes) {
  sqlite3_bind_blob64(statement, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
}

std::string column_bytes(sqlite3_stmt* statement, int index) {
  auto data = static_cast<const char*>(sqlite3_column_blob(statement, index));
  return data ? std::string(data, static_cast<size_t>(sqlite3_column_bytes(statement, index))) : std::string();
}

// The first layout: the package and its two texts, all three as received.
const char create_v1[] = R"sql(
CREATE TABLE shares (
  id TEXT PRIMARY KEY,
  kind TEXT NOT NULL CHECK (kind IN ('report', 'screenshot')),
  received_at INTEGER NOT NULL,
  client_address TEXT NOT NULL,
  user_agent TEXT NOT NULL,
  package BLOB NOT NULL,
  report BLOB NOT NULL,
  stack_scan BLOB NOT NULL
);
CREATE TABLE share_images (
  share_id TEXT NOT NULL REFERENCES shares (id) ON DELETE CASCADE,
  position INTEGER NOT NULL,
  name TEXT NOT NULL CHECK (name IN ('screenshot', 'read_graph', 'write_graph')),
  width INTEGER NOT NULL,
  height INTEGER NOT NULL,
  png BLOB NOT NULL,
  PRIMARY KEY (share_id, name)
);
CREATE INDEX shares_by_time ON shares (received_at);
)sql";

// Version 2 keeps each text once, packed, and no package: the images are kept as PNGs.
bool pack_texts_of_v1(sqlite3* db, std::string& error) {
  if (!exec(db,
            "ALTER TABLE shares ADD COLUMN report_packed BLOB NOT NULL DEFAULT x'';"
            "ALTER TABLE shares ADD COLUMN report_size INTEGER NOT NULL DEFAULT 0;"
            "ALTER TABLE shares ADD COLUMN stack_scan_packed BLOB NOT NULL DEFAULT x'';"
            "ALTER TABLE shares ADD COLUMN stack_scan_size INTEGER NOT NULL DEFAULT 0",
            error))
    return false;
  sqlite_statement rows = prepare(db, "SELECT rowid, report, stack_scan FROM shares");
  sqlite_statement update =
      prepare(db,
              "UPDATE shares SET report_packed = ?, report_size = ?, stack_scan_packed = ?, stack_scan_size = ? "
              "WHERE rowid = ?");
  if (!rows || !update) return error = last_error(db, "prepare migration"), false;
  int step;
  while ((step = sqlite3_step(rows.get())) == SQLITE_ROW) {
    std::string report = column_bytes(rows.get(), 1), stack_scan = column_bytes(rows.get(), 2);
    sqlite3_reset(update.get());
    bind_blob(update.get(), 1, pack_text(report));
    sqlite3_bind_int64(update.get(), 2, static_cast<sqlite3_int64>(report.size()));
    bind_blob(update.get(), 3, pack_text(stack_scan));
    sqlite3_bind_int64(update.get(), 4, static_cast<sqlite3_int64>(stack_scan.size()));
    sqlite3_bind_int64(update.get(), 5, sqlite3_column_int64(rows.get(), 0));
    if (sqlite3_step(update.get()) != SQLITE_DONE) return error = last_error(db, "migrate share"), false;
  }
  if (step != SQLITE_DONE) return error = last_error(db, "read shares to migrate"), false;
  return exec(db,
              "ALTER TABLE shares DROP COLUMN package;"
              "ALTER TABLE shares DROP COLUMN report;"
              "ALTER TABLE shares DROP COLUMN stack_scan",
              error);
}

bool insert_run_rows(sqlite3* db, const std::string& share_id, const std::vector<run_row>& rows, std::string& error) {
  sqlite_statement insert =
      prepare(db, "INSERT INTO share_runs (share_id, position, skipped, run) VALUES (?, ?, ?, ?)");
  if (!insert) return error = last_error(db, "prepare run"), false;
  int position = 0;
  for (const run_row& row : rows) {
    sqlite3_reset(insert.get());
    bind_text(insert.get(), 1, share_id);
    sqlite3_bind_int(insert.get(), 2, position++);
    bind_text(insert.get(), 3, row.skipped);
    bind_blob(insert.get(), 4, row.run);
    if (sqlite3_step(insert.get()) != SQLITE_DONE) return error = last_error(db, "insert run"), false;
  }
  return true;
}

// Version 3 adds the runs parsed from each share's reports; the shares already there are
// parsed now.
bool parse_runs_of_v2(sqlite3* db, std::string& error) {
  if (!exec(db,
            "CREATE TABLE share_runs ("
            " seq INTEGER PRIMARY KEY AUTOINCREMENT,"
            " share_id TEXT NOT NULL REFERENCES shares (id) ON DELETE CASCADE,"
            " position INTEGER NOT NULL,"
            " skipped TEXT NOT NULL,"
            " run BLOB NOT NULL,"
            " UNIQUE (share_id, position))",
            error))
    return false;
  sqlite_statement rows = prepare(db, "SELECT id, report_packed, report_size FROM shares ORDER BY received_at, id");
  if (!rows) return error = last_error(db, "prepare migration"), false;
  int step;
  while ((step = sqlite3_step(rows.get())) == SQLITE_ROW) {
    auto report = unpack_text(column_bytes(rows.get(), 1), static_cast<size_t>(sqlite3_column_int64(rows.get(), 2)));
    std::vector<run_row> runs = report ? run_rows_of_report(*report) : std::vector<run_row>{{skip_unreadable, ""}};
    if (!insert_run_rows(db, column_bytes(rows.get(), 0), runs, error)) return false;
  }
  if (step != SQLITE_DONE) return error = last_error(db, "read shares to parse"), false;
  return true;
}

// Step i takes the schema from version i to version i + 1.
bool migration_step(sqlite3* db, int from, std::string& error) {
  switch (from) {
    case 0: return exec(db, create_v1, error);
    case 1: return pack_texts_of_v1(db, error);
    case 2: return parse_runs_of_v2(db, error);
  }
  error = "no migration from schema version " + std::to_string(from);
  return false;
}

int user_version(sqlite3* db) {
  sqlite_statement statement = prepare(db, "PRAGMA user_version");
  return statement && sqlite3_step(statement.get()) == SQLITE_ROW ? sqlite3_column_int(statement.get(), 0) : -1;
}

bool migrate(sqlite3* db, std::string& error) {
  if (!exec(db, "BEGIN IMMEDIATE", error)) return false;
  int version = user_version(db);
  bool ok = true;
  if (version < 0 || version > share_schema_version) {
    error = "database schema version " + std::to_string(version) + " is not one this server knows (up to " +
            std::to_string(share_schema_version) + ")";
    ok = false;
  }
  for (; ok && version < share_schema_version; ++version) {
    std::string set_version = "PRAGMA user_version = " + std::to_string(version + 1);
    ok = migration_step(db, version, error) && exec(db, set_version.c_str(), error);
  }
  if (ok) return exec(db, "COMMIT", error);
  std::string ignored;
  exec(db, "ROLLBACK", ignored);
  return false;
}

bool open_connection(const std::string& path, int flags, sqlite_db& db, std::string& error) {
  sqlite3* raw = nullptr;
  int result = sqlite3_open_v2(path.c_str(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  db.reset(raw);
  if (result != SQLITE_OK) {
    error = raw ? last_error(raw, "open") : "open: out of memory";
    return false;
  }
  sqlite3_busy_timeout(raw, 5000);
  sqlite3_extended_result_codes(raw, 1);
  // FULL: in WAL mode every commit syncs the log before it returns.
  return exec(raw, "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL; PRAGMA foreign_keys = ON", error);
}

// SQLite gives a new database file the mode of open(2); ours holds the share links.
bool create_private_file(const std::string& path, std::string& error) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return error = "open: cannot create or open " + path, false;
  ::close(fd);
  return true;
}

class sqlite_share_store final : public share_store {
 public:
  sqlite_share_store(std::string path, sqlite_db writer) : path_(std::move(path)), writer_(std::move(writer)) {}

  bool insert(const new_share& share, std::string& error) override;
  std::optional<stored_share> find_share(const std::string& id) override;
  std::optional<std::string> find_png(const std::string& id, const std::string& image_name) override;
  bool load_runs(int64_t after, std::vector<stored_run>& runs, std::string& error) override;
  bool count_runs(int64_t& count, int64_t& last_seq, std::string& error) override;
  bool healthy() override;
  bool backup(const std::string& file, std::string& error) override;

 private:
  // Readers never wait for a writer's sync: each query borrows a connection of its own.
  class reader {
   public:
    explicit reader(sqlite_share_store& store) : store_(store), db_(store.borrow()) {}
    ~reader() { store_.give_back(std::move(db_)); }
    sqlite3* get() const { return db_.get(); }

   private:
    sqlite_share_store& store_;
    sqlite_db db_;
  };
  sqlite_db borrow();
  void give_back(sqlite_db db);
  // An insert waiting for its commit; its texts are packed before it queues.
  struct pending_insert {
    const new_share& share;
    std::string report, stack_scan;
    std::vector<run_row> runs;
    bool done = false, stored = false;
    std::string error{};
  };
  void commit_batch(const std::vector<pending_insert*>& batch);
  bool insert_rows(const pending_insert& insert, std::string& error);

  const std::string path_;
  sqlite_db writer_;  // used only by the thread committing a batch
  // Inserts that arrive while a commit syncs wait here and go into the next transaction
  // together: one sync for all of them.
  std::mutex queue_mutex_;
  std::condition_variable committed_;
  std::vector<pending_insert*> queue_;
  bool committing_ = false;
  std::mutex readers_mutex_;
  std::vector<sqlite_db> idle_readers_;
};

sqlite_db sqlite_share_store::borrow() {
  {
    std::lock_guard<std::mutex> lock(readers_mutex_);
    if (!idle_readers_.empty()) {
      sqlite_db db = std::move(idle_readers_.back());
      idle_readers_.pop_back();
      return db;
    }
  }
  sqlite_db db;
  std::string ignored;
  if (!open_connection(path_, SQLITE_OPEN_READWRITE, db, ignored)) db.reset();
  return db;  // null: every query on it fails, and the caller answers "not found" or unhealthy
}

void sqlite_share_store::give_back(sqlite_db db) {
  if (!db) return;
  std::lock_guard<std::mutex> lock(readers_mutex_);
  idle_readers_.push_back(std::move(db));
}

bool sqlite_share_store::insert(const new_share& share, std::string& error) {
  pending_insert me{share, pack_text(share.contents.report), pack_text(share.contents.stack_scan),
                    run_rows_of_report(share.contents.report)};
  std::unique_lock<std::mutex> lock(queue_mutex_);
  queue_.push_back(&me);
  while (!me.done) {
    if (committing_) {
      committed_.wait(lock);
      continue;
    }
    // No commit under way: this thread commits everything queued, its own insert among it.
    committing_ = true;
    std::vector<pending_insert*> batch;
    batch.swap(queue_);
    lock.unlock();
    commit_batch(batch);
    lock.lock();
    committing_ = false;
    committed_.notify_all();
  }
  error = me.error;
  return me.stored;
}

// One transaction; each share in a savepoint of its own, so that one share's failure leaves
// the others of the batch to be stored.
void sqlite_share_store::commit_batch(const std::vector<pending_insert*>& batch) {
  sqlite3* db = writer_.get();
  std::string error, ignored;
  bool begun = exec(db, "BEGIN IMMEDIATE", error);
  for (pending_insert* insert : batch) {
    if (!begun) {
      insert->error = error;
      continue;
    }
    exec(db, "SAVEPOINT one_share", ignored);
    insert->stored = insert_rows(*insert, insert->error);
    if (!insert->stored) exec(db, "ROLLBACK TO one_share", ignored);
    exec(db, "RELEASE one_share", ignored);
  }
  if (begun && !exec(db, "COMMIT", error)) {
    exec(db, "ROLLBACK", ignored);
    for (pending_insert* insert : batch)
      if (insert->stored) insert->stored = false, insert->error = error;
  }
  std::lock_guard<std::mutex> lock(queue_mutex_);
  for (pending_insert* insert : batch) insert->done = true;
}

bool sqlite_share_store::insert_rows(const pending_insert& insert, std::string& error) {
  const new_share& share = insert.share;
  sqlite3* db = writer_.get();
  sqlite_statement row =
      prepare(db,
              "INSERT INTO shares (id, kind, received_at, client_address, user_agent, report_packed, report_size, "
              "stack_scan_packed, stack_scan_size) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
  if (!row) return error = last_error(db, "prepare share"), false;
  bind_text(row.get(), 1, share.id);
  bind_text(row.get(), 2, share.contents.kind);
  sqlite3_bind_int64(row.get(), 3, share.received_at);
  bind_text(row.get(), 4, share.client_address);
  bind_text(row.get(), 5, share.user_agent);
  bind_blob(row.get(), 6, insert.report);
  sqlite3_bind_int64(row.get(), 7, static_cast<sqlite3_int64>(share.contents.report.size()));
  bind_blob(row.get(), 8, insert.stack_scan);
  sqlite3_bind_int64(row.get(), 9, static_cast<sqlite3_int64>(share.contents.stack_scan.size()));
  if (sqlite3_step(row.get()) != SQLITE_DONE) return error = last_error(db, "insert share"), false;

  sqlite_statement image =
      prepare(db, "INSERT INTO share_images (share_id, position, name, width, height, png) VALUES (?, ?, ?, ?, ?, ?)");
  if (!image) return error = last_error(db, "prepare image"), false;
  int position = 0;
  for (const share_image& picture : share.contents.images) {
    sqlite3_reset(image.get());
    bind_text(image.get(), 1, share.id);
    sqlite3_bind_int(image.get(), 2, position++);
    bind_text(image.get(), 3, picture.name);
    sqlite3_bind_int64(image.get(), 4, picture.width);
    sqlite3_bind_int64(image.get(), 5, picture.height);
    bind_blob(image.get(), 6, picture.png);
    if (sqlite3_step(image.get()) != SQLITE_DONE) return error = last_error(db, "insert image"), false;
  }
  return insert_run_rows(db, share.id, insert.runs, error);
}

std::optional<stored_share> sqlite_share_store::find_share(const std::string& id) {
  reader db(*this);
  // One read transaction: the share and its images as of one moment.
  std::string ignored;
  if (!db.get() || !exec(db.get(), "BEGIN", ignored)) return std::nullopt;
  struct end_read {
    sqlite3* db;
    ~end_read() {
      std::string ignored;
      exec(db, "COMMIT", ignored);
    }
  } end{db.get()};
  sqlite_statement row =
      prepare(db.get(), "SELECT kind, received_at, report_packed, report_size FROM shares WHERE id = ?");
  if (!row) return std::nullopt;
  bind_text(row.get(), 1, id);
  if (sqlite3_step(row.get()) != SQLITE_ROW) return std::nullopt;
  auto report = unpack_text(column_bytes(row.get(), 2), static_cast<size_t>(sqlite3_column_int64(row.get(), 3)));
  if (!report) return std::nullopt;
  stored_share share;
  share.kind = column_bytes(row.get(), 0);
  share.received_at = sqlite3_column_int64(row.get(), 1);
  share.report = std::move(*report);
  sqlite_statement images =
      prepare(db.get(), "SELECT name, width, height FROM share_images WHERE share_id = ? ORDER BY position");
  if (!images) return std::nullopt;
  bind_text(images.get(), 1, id);
  while (sqlite3_step(images.get()) == SQLITE_ROW)
    share.images.push_back({column_bytes(images.get(), 0), static_cast<uint32_t>(sqlite3_column_int64(images.get(), 1)),
                            static_cast<uint32_t>(sqlite3_column_int64(images.get(), 2))});
  return share;
}

std::optional<std::string> sqlite_share_store::find_png(const std::string& id, const std::string& image_name) {
  reader db(*this);
  if (!db.get()) return std::nullopt;
  sqlite_statement row = prepare(db.get(), "SELECT png FROM share_images WHERE share_id = ? AND name = ?");
  if (!row) return std::nullopt;
  bind_text(row.get(), 1, id);
  bind_text(row.get(), 2, image_name);
  if (sqlite3_step(row.get()) != SQLITE_ROW) return std::nullopt;
  return column_bytes(row.get(), 0);
}

bool sqlite_share_store::load_runs(int64_t after, std::vector<stored_run>& runs, std::string& error) {
  reader db(*this);
  if (!db.get()) return error = "no database connection", false;
  sqlite_statement rows =
      prepare(db.get(), "SELECT seq, share_id, skipped, run FROM share_runs WHERE seq > ? ORDER BY seq");
  if (!rows) return error = last_error(db.get(), "prepare runs"), false;
  sqlite3_bind_int64(rows.get(), 1, after);
  int step;
  while ((step = sqlite3_step(rows.get())) == SQLITE_ROW)
    runs.push_back({sqlite3_column_int64(rows.get(), 0), column_bytes(rows.get(), 1), column_bytes(rows.get(), 2),
                    column_bytes(rows.get(), 3)});
  if (step != SQLITE_DONE) return error = last_error(db.get(), "read runs"), false;
  return true;
}

bool sqlite_share_store::count_runs(int64_t& count, int64_t& last_seq, std::string& error) {
  reader db(*this);
  if (!db.get()) return error = "no database connection", false;
  sqlite_statement row = prepare(db.get(), "SELECT count(*), coalesce(max(seq), 0) FROM share_runs");
  if (!row || sqlite3_step(row.get()) != SQLITE_ROW) return error = last_error(db.get(), "count runs"), false;
  count = sqlite3_column_int64(row.get(), 0);
  last_seq = sqlite3_column_int64(row.get(), 1);
  return true;
}

bool sqlite_share_store::healthy() {
  reader db(*this);
  if (!db.get()) return false;
  sqlite_statement row = prepare(db.get(), "SELECT count(*) FROM (SELECT 1 FROM shares LIMIT 1)");
  return row && sqlite3_step(row.get()) == SQLITE_ROW;
}

bool sqlite_share_store::backup(const std::string& file, std::string& error) {
  return sqlite_backup(path_, file, error);
}

}  // namespace

std::unique_ptr<share_store> open_sqlite_share_store(const std::string& path, std::string& error) {
  sqlite_db db;
  if (!create_private_file(path, error) || !open_connection(path, SQLITE_OPEN_READWRITE, db, error) ||
      !migrate(db.get(), error))
    return nullptr;
  return std::make_unique<sqlite_share_store>(path, std::move(db));
}
