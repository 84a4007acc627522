#include "pg_share_store.h"

#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>

#include "pg_handles.h"
#include "report_runs.h"
#include "run_record.h"
#include "text_packing.h"

namespace {

const char create_current[] = R"sql(
CREATE TABLE share_schema (version integer NOT NULL);
CREATE TABLE shares (
  id text PRIMARY KEY,
  kind text NOT NULL CHECK (kind IN ('report', 'screenshot')),
  received_at bigint NOT NULL,
  client_address text NOT NULL,
  user_agent bytea NOT NULL,
  report_packed bytea NOT NULL,
  report_size bigint NOT NULL,
  stack_scan_packed bytea NOT NULL,
  stack_scan_size bigint NOT NULL
);
CREATE TABLE share_images (
  share_id text NOT NULL REFERENCES shares (id) ON DELETE CASCADE,
  position integer NOT NULL,
  name text NOT NULL CHECK (name IN ('screenshot', 'read_graph', 'write_graph')),
  width bigint NOT NULL,
  height bigint NOT NULL,
  png bytea NOT NULL,
  PRIMARY KEY (share_id, name)
);
CREATE INDEX shares_by_time ON shares (received_at);
)sql";
// PostgreSQL databases began at version 2; each later version adds a step.
const char create_runs[] = R"sql(
CREATE TABLE share_runs (
  seq bigserial PRIMARY KEY,
  share_id text NOT NULL REFERENCES shares (id) ON DELETE CASCADE,
  position integer NOT NULL,
  skipped text NOT NULL,
  run bytea NOT NULL,
  UNIQUE (share_id, position)
);
)sql";

// Servers starting together on one database create the schema once.
const char schema_lock[] = "SELECT pg_advisory_xact_lock(7400210421)";

bool succeeded(const pg_reply& result) {
  ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

std::string failure(PGconn* connection, const char* doing) {
  std::string message = PQerrorMessage(connection);
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  return std::string(doing) + ": " + message;
}

bool exec(PGconn* connection, const char* sql, std::string& error) {
  pg_reply result(PQexec(connection, sql));
  if (succeeded(result)) return true;
  error = failure(connection, "PostgreSQL");
  return false;
}

std::string field_bytes(const PGresult* result, int row, int column) {
  return std::string(PQgetvalue(result, row, column), static_cast<size_t>(PQgetlength(result, row, column)));
}

// bigint and integer columns of a binary result: big-endian two's complement.
int64_t field_integer(const PGresult* result, int row, int column) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(PQgetvalue(result, row, column));
  int length = PQgetlength(result, row, column);
  uint64_t value = length == 4 && (bytes[0] & 0x80) ? ~uint64_t{0} : 0;
  for (int i = 0; i < length; ++i) value = value << 8 | bytes[i];
  return static_cast<int64_t>(value);
}

pg_connection connect(const std::string& address, std::string& error) {
  // The address's own settings come after these defaults and win.
  const char* keywords[] = {"connect_timeout", "application_name", "dbname", nullptr};
  const char* values[] = {"5", "folvi-share", address.c_str(), nullptr};
  pg_connection connection(PQconnectdbParams(keywords, values, 1));
  if (!connection || PQstatus(connection.get()) != CONNECTION_OK) {
    error = connection ? failure(connection.get(), "connect") : "connect: out of memory";
    return nullptr;
  }
  if (!exec(connection.get(), "SET synchronous_commit = on; SET client_min_messages = warning", error)) return nullptr;
  return connection;
}

bool insert_run_rows(PGconn* connection, const std::string& share_id, const std::vector<run_row>& rows,
                     std::string& error) {
  int position = 0;
  for (const run_row& row : rows) {
    pg_reply inserted(
        pg_parameters()
            .text(share_id)
            .number(position++)
            .text(row.skipped)
            .bytes(row.run)
            .run(connection, "INSERT INTO share_runs (share_id, position, skipped, run) VALUES ($1, $2, $3, $4)"));
    if (!succeeded(inserted)) return error = failure(connection, "insert run"), false;
  }
  return true;
}

// Version 3: the runs of the shares already stored are parsed now.
bool parse_runs_of_v2(PGconn* connection, std::string& error) {
  if (!exec(connection, create_runs, error)) return false;
  pg_reply shares(PQexecParams(connection, "SELECT id, report_packed, report_size FROM shares ORDER BY received_at, id",
                               0, nullptr, nullptr, nullptr, nullptr, 1));
  if (!succeeded(shares)) return error = failure(connection, "read shares to parse"), false;
  for (int i = 0; i < PQntuples(shares.get()); ++i) {
    auto report = unpack_text(field_bytes(shares.get(), i, 1), static_cast<size_t>(field_integer(shares.get(), i, 2)));
    std::vector<run_row> runs = report ? run_rows_of_report(*report) : std::vector<run_row>{{skip_unreadable, ""}};
    if (!insert_run_rows(connection, field_bytes(shares.get(), i, 0), runs, error)) return false;
  }
  return true;
}

bool migrate_step(PGconn* connection, int from, std::string& error) {
  if (from == 2) return parse_runs_of_v2(connection, error);
  error = "no migration from schema version " + std::to_string(from);
  return false;
}

bool migrate_locked(PGconn* connection, std::string& error) {
  pg_reply found(PQexecParams(connection, "SELECT to_regclass('share_schema') IS NOT NULL", 0, nullptr, nullptr,
                              nullptr, nullptr, 0));
  if (!succeeded(found)) return error = failure(connection, "read schema"), false;
  if (std::strcmp(PQgetvalue(found.get(), 0, 0), "t") != 0) {
    std::string insert = "INSERT INTO share_schema VALUES (" + std::to_string(share_schema_version) + ")";
    return exec(connection, create_current, error) && exec(connection, create_runs, error) &&
           exec(connection, insert.c_str(), error);
  }
  pg_reply version(PQexec(connection, "SELECT min(version), count(*) FROM share_schema"));
  if (!succeeded(version)) return error = failure(connection, "read schema version"), false;
  std::string text = PQgetvalue(version.get(), 0, 0);
  int number = text.empty() || text.size() > 6 ? -1 : std::atoi(text.c_str());
  if (number < 2 || number > share_schema_version || std::strcmp(PQgetvalue(version.get(), 0, 1), "1") != 0) {
    error = "database schema version " + (text.empty() ? std::string("unknown") : text) +
            " is not one this server knows (up to " + std::to_string(share_schema_version) + ")";
    return false;
  }
  for (; number < share_schema_version; ++number) {
    std::string set_version = "UPDATE share_schema SET version = " + std::to_string(number + 1);
    if (!migrate_step(connection, number, error) || !exec(connection, set_version.c_str(), error)) return false;
  }
  return true;
}

bool migrate(PGconn* connection, std::string& error) {
  if (!exec(connection, "BEGIN", error)) return false;
  if (exec(connection, schema_lock, error) && migrate_locked(connection, error) && exec(connection, "COMMIT", error))
    return true;
  std::string ignored;
  exec(connection, "ROLLBACK", ignored);
  return false;
}

class pg_share_store final : public share_store {
 public:
  pg_share_store(std::string address, pg_connection first) : address_(std::move(address)) {
    idle_.push_back(std::move(first));
    open_ = 1;
  }

  bool insert(const new_share& share, std::string& error) override;
  std::optional<stored_share> find_share(const std::string& id) override;
  std::optional<std::string> find_png(const std::string& id, const std::string& image_name) override;
  bool load_runs(int64_t after, std::vector<stored_run>& runs, std::string& error) override;
  bool count_runs(int64_t& count, int64_t& last_seq, std::string& error) override;
  bool healthy() override;
  bool backup(const std::string& file, std::string& error) override;

 private:
  // Runs `work` on a pooled connection; a connection found broken (the server restarted, an
  // idle connection was ended) is replaced and the work tried once more on the new one.
  bool with_connection(const std::function<bool(PGconn*, std::string&)>& work, std::string& error);
  pg_connection borrow(std::string& error);
  void give_back(pg_connection connection);

  static constexpr int max_connections = 8;
  const std::string address_;
  std::mutex mutex_;
  std::condition_variable returned_;
  std::vector<pg_connection> idle_;
  int open_ = 0;  // idle and borrowed
};

pg_connection pg_share_store::borrow(std::string& error) {
  std::unique_lock<std::mutex> lock(mutex_);
  returned_.wait(lock, [this] { return !idle_.empty() || open_ < max_connections; });
  if (!idle_.empty()) {
    pg_connection connection = std::move(idle_.back());
    idle_.pop_back();
    return connection;
  }
  ++open_;
  lock.unlock();
  pg_connection connection = connect(address_, error);
  if (!connection) give_back(nullptr);
  return connection;
}

void pg_share_store::give_back(pg_connection connection) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (connection && PQstatus(connection.get()) == CONNECTION_OK) idle_.push_back(std::move(connection));
    else --open_;
  }
  returned_.notify_one();
}

bool pg_share_store::with_connection(const std::function<bool(PGconn*, std::string&)>& work, std::string& error) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    pg_connection connection = borrow(error);
    if (!connection) return false;
    bool done = work(connection.get(), error);
    bool broken = PQstatus(connection.get()) != CONNECTION_OK;
    give_back(std::move(connection));
    if (done || !broken) return done;
  }
  return false;
}

bool insert_rows(PGconn* connection, const new_share& share, std::string& error) {
  pg_reply row(
      pg_parameters()
          .text(share.id)
          .text(share.contents.kind)
          .number(share.received_at)
          .text(share.client_address)
          .bytes(share.user_agent)
          .bytes(pack_text(share.contents.report))
          .number(static_cast<long long>(share.contents.report.size()))
          .bytes(pack_text(share.contents.stack_scan))
          .number(static_cast<long long>(share.contents.stack_scan.size()))
          .run(connection,
               "INSERT INTO shares (id, kind, received_at, client_address, user_agent, report_packed, "
               "report_size, stack_scan_packed, stack_scan_size) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9)"));
  if (!succeeded(row)) return error = failure(connection, "insert share"), false;
  int position = 0;
  for (const share_image& picture : share.contents.images) {
    pg_reply image(pg_parameters()
                       .text(share.id)
                       .number(position++)
                       .text(picture.name)
                       .number(picture.width)
                       .number(picture.height)
                       .bytes(picture.png)
                       .run(connection,
                            "INSERT INTO share_images (share_id, position, name, width, height, png) "
                            "VALUES ($1, $2, $3, $4, $5, $6)"));
    if (!succeeded(image)) return error = failure(connection, "insert image"), false;
  }
  return true;
}

bool pg_share_store::insert(const new_share& share, std::string& error) {
  std::vector<run_row> runs = run_rows_of_report(share.contents.report);
  return with_connection(
      [&share, &runs](PGconn* connection, std::string& error) {
        if (!exec(connection, "BEGIN", error)) return false;
        if (insert_rows(connection, share, error) && insert_run_rows(connection, share.id, runs, error) &&
            exec(connection, "COMMIT", error))
          return true;
        std::string ignored;
        exec(connection, "ROLLBACK", ignored);
        return false;
      },
      error);
}

std::optional<stored_share> pg_share_store::find_share(const std::string& id) {
  std::optional<stored_share> found;
  std::string error;
  with_connection(
      [&](PGconn* connection, std::string& error) {
        // The share's row and its images are committed together, so the second statement sees
        // every image of a row the first one found.
        pg_reply row(pg_parameters().text(id).run(
            connection, "SELECT kind, received_at, report_packed, report_size FROM shares WHERE id = $1"));
        if (!succeeded(row)) return error = failure(connection, "find share"), false;
        if (PQntuples(row.get()) != 1) return true;
        auto report = unpack_text(field_bytes(row.get(), 0, 2), static_cast<size_t>(field_integer(row.get(), 0, 3)));
        if (!report) return true;
        pg_reply images(pg_parameters().text(id).run(
            connection, "SELECT name, width, height FROM share_images WHERE share_id = $1 ORDER BY position"));
        if (!succeeded(images)) return error = failure(connection, "find images"), false;
        stored_share share;
        share.kind = field_bytes(row.get(), 0, 0);
        share.received_at = field_integer(row.get(), 0, 1);
        share.report = std::move(*report);
        for (int i = 0; i < PQntuples(images.get()); ++i)
          share.images.push_back({field_bytes(images.get(), i, 0),
                                  static_cast<uint32_t>(field_integer(images.get(), i, 1)),
                                  static_cast<uint32_t>(field_integer(images.get(), i, 2))});
        found = std::move(share);
        return true;
      },
      error);
  return found;
}

std::optional<std::string> pg_share_store::find_png(const std::string& id, const std::string& image_name) {
  std::optional<std::string> png;
  std::string error;
  with_connection(
      [&](PGconn* connection, std::string& error) {
        pg_reply row(pg_parameters()
                         .text(id)
                         .text(image_name)
                         .run(connection, "SELECT png FROM share_images WHERE share_id = $1 AND name = $2"));
        if (!succeeded(row)) return error = failure(connection, "find image"), false;
        if (PQntuples(row.get()) == 1) png = field_bytes(row.get(), 0, 0);
        return true;
      },
      error);
  return png;
}

bool pg_share_store::load_runs(int64_t after, std::vector<stored_run>& runs, std::string& error) {
  return with_connection(
      [&](PGconn* connection, std::string& error) {
        pg_reply rows(pg_parameters().number(after).run(
            connection, "SELECT seq, share_id, skipped, run FROM share_runs WHERE seq > $1 ORDER BY seq"));
        if (!succeeded(rows)) return error = failure(connection, "read runs"), false;
        for (int i = 0; i < PQntuples(rows.get()); ++i)
          runs.push_back({field_integer(rows.get(), i, 0), field_bytes(rows.get(), i, 1), field_bytes(rows.get(), i, 2),
                          field_bytes(rows.get(), i, 3)});
        return true;
      },
      error);
}

bool pg_share_store::count_runs(int64_t& count, int64_t& last_seq, std::string& error) {
  return with_connection(
      [&](PGconn* connection, std::string& error) {
        pg_reply row(PQexecParams(connection, "SELECT count(*), coalesce(max(seq), 0) FROM share_runs", 0, nullptr,
                                  nullptr, nullptr, nullptr, 1));
        if (!succeeded(row)) return error = failure(connection, "count runs"), false;
        count = field_integer(row.get(), 0, 0);
        last_seq = field_integer(row.get(), 0, 1);
        return true;
      },
      error);
}

bool pg_share_store::healthy() {
  std::string error;
  return with_connection(
      [](PGconn* connection, std::string& error) {
        return exec(connection, "SELECT count(*) FROM (SELECT 1 FROM shares LIMIT 1) AS one", error);
      },
      error);
}

bool pg_share_store::backup(const std::string&, std::string& error) {
  error =
      "--backup copies SQLite databases; for PostgreSQL use pg_dump (e.g. pg_dump --format=custom), "
      "which takes one consistent snapshot while the servers go on writing";
  return false;
}

}  // namespace

std::unique_ptr<share_store> open_pg_share_store(const std::string& address, std::string& error) {
  pg_connection connection = connect(address, error);
  if (!connection || !migrate(connection.get(), error)) return nullptr;
  return std::make_unique<pg_share_store>(address, std::move(connection));
}
