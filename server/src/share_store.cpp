#include "share_store.h"

namespace {

// Step i takes the schema from version i to version i + 1.
const char* const schema_steps[] = {
    R"sql(
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
)sql",
};
static_assert(sizeof schema_steps / sizeof schema_steps[0] == share_schema_version);

std::string last_error(sqlite3* db, const char* doing) {
  return std::string(doing) + ": " + sqlite3_errmsg(db);
}

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

int user_version(sqlite3* db) {
  sqlite_statement statement = prepare(db, "PRAGMA user_version");
  return statement && sqlite3_step(statement.get()) == SQLITE_ROW ? sqlite3_column_int(statement.get(), 0) : -1;
}

bool migrate(sqlite3* db, std::string& error) {
  if (!exec(db, "BEGIN IMMEDIATE", error)) return false;
  int version = user_version(db);
  if (version < 0 || version > share_schema_version) {
    error = "database schema version " + std::to_string(version) + " is not one this server knows (up to " +
            std::to_string(share_schema_version) + ")";
    exec(db, "ROLLBACK", error);
    return false;
  }
  for (; version < share_schema_version; ++version) {
    std::string set_version = "PRAGMA user_version = " + std::to_string(version + 1);
    if (!exec(db, schema_steps[version], error) || !exec(db, set_version.c_str(), error)) {
      std::string ignored;
      exec(db, "ROLLBACK", ignored);
      return false;
    }
  }
  return exec(db, "COMMIT", error);
}

}  // namespace

std::unique_ptr<share_store> share_store::open(const std::string& path, std::string& error) {
  sqlite3* raw = nullptr;
  int result = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                               nullptr);
  sqlite_db db(raw);
  if (result != SQLITE_OK) {
    error = raw ? last_error(raw, "open") : "open: out of memory";
    return nullptr;
  }
  sqlite3_busy_timeout(db.get(), 5000);
  sqlite3_extended_result_codes(db.get(), 1);
  if (!exec(db.get(), "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; PRAGMA foreign_keys = ON", error) ||
      !migrate(db.get(), error))
    return nullptr;
  return std::unique_ptr<share_store>(new share_store(std::move(db)));
}

bool share_store::insert(const new_share& share, std::string& error) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!exec(db_.get(), "BEGIN IMMEDIATE", error)) return false;
  if (insert_locked(share, error) && exec(db_.get(), "COMMIT", error)) return true;
  std::string ignored;
  exec(db_.get(), "ROLLBACK", ignored);
  return false;
}

bool share_store::insert_locked(const new_share& share, std::string& error) {
  sqlite3* db = db_.get();
  sqlite_statement row = prepare(
      db, "INSERT INTO shares (id, kind, received_at, client_address, user_agent, package, report, stack_scan) "
          "VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
  if (!row) return error = last_error(db, "prepare share"), false;
  bind_text(row.get(), 1, share.id);
  bind_text(row.get(), 2, share.contents.kind);
  sqlite3_bind_int64(row.get(), 3, share.received_at);
  bind_text(row.get(), 4, share.client_address);
  bind_text(row.get(), 5, share.user_agent);
  bind_blob(row.get(), 6, share.package);
  bind_blob(row.get(), 7, share.contents.report);
  bind_blob(row.get(), 8, share.contents.stack_scan);
  if (sqlite3_step(row.get()) != SQLITE_DONE) return error = last_error(db, "insert share"), false;

  sqlite_statement image = prepare(
      db, "INSERT INTO share_images (share_id, position, name, width, height, png) VALUES (?, ?, ?, ?, ?, ?)");
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
  return true;
}

std::optional<stored_share> share_store::find_share(const std::string& id) {
  std::lock_guard<std::mutex> lock(mutex_);
  sqlite_statement row = prepare(db_.get(), "SELECT kind, received_at, report FROM shares WHERE id = ?");
  if (!row) return std::nullopt;
  bind_text(row.get(), 1, id);
  if (sqlite3_step(row.get()) != SQLITE_ROW) return std::nullopt;
  stored_share share;
  share.kind = column_bytes(row.get(), 0);
  share.received_at = sqlite3_column_int64(row.get(), 1);
  share.report = column_bytes(row.get(), 2);
  sqlite_statement images =
      prepare(db_.get(), "SELECT name, width, height FROM share_images WHERE share_id = ? ORDER BY position");
  if (!images) return std::nullopt;
  bind_text(images.get(), 1, id);
  while (sqlite3_step(images.get()) == SQLITE_ROW)
    share.images.push_back({column_bytes(images.get(), 0), static_cast<uint32_t>(sqlite3_column_int64(images.get(), 1)),
                            static_cast<uint32_t>(sqlite3_column_int64(images.get(), 2))});
  return share;
}

std::optional<std::string> share_store::find_png(const std::string& id, const std::string& image_name) {
  std::lock_guard<std::mutex> lock(mutex_);
  sqlite_statement row = prepare(db_.get(), "SELECT png FROM share_images WHERE share_id = ? AND name = ?");
  if (!row) return std::nullopt;
  bind_text(row.get(), 1, id);
  bind_text(row.get(), 2, image_name);
  if (sqlite3_step(row.get()) != SQLITE_ROW) return std::nullopt;
  return column_bytes(row.get(), 0);
}

bool share_store::healthy() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string error;
  return exec(db_.get(), "SELECT 1", error);
}
