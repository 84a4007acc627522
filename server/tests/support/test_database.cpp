#include "test_database.h"

#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>

#include "share_store.h"

namespace {

std::string postgresql_base() {
  const char* chosen = std::getenv("FOLVI_SHARE_TEST_DB");
  return chosen && is_postgresql_address(chosen) ? chosen : "";
}

// One statement on PostgreSQL; the text of the first field, throwing on failure.
std::string pg_query(const std::string& address, const std::string& sql, bool& has_row) {
  PGconn* connection = PQconnectdb(address.c_str());
  std::string text, error;
  has_row = false;
  if (PQstatus(connection) == CONNECTION_OK) {
    PGresult* result = PQexec(connection, sql.c_str());
    ExecStatusType status = PQresultStatus(result);
    if (status == PGRES_TUPLES_OK && PQntuples(result) > 0) {
      has_row = true;
      text = PQgetvalue(result, 0, 0);
    } else if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
      error = PQerrorMessage(connection);
    }
    PQclear(result);
  } else {
    error = PQerrorMessage(connection);
  }
  PQfinish(connection);
  if (!error.empty()) throw std::runtime_error("PostgreSQL: " + error + " in " + sql);
  return text;
}

std::string sqlite_query(const std::string& database, const std::string& sql) {
  sqlite3* db = nullptr;
  std::string text;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0))
      text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
  return text;
}

}  // namespace

bool testing_on_postgresql() { return !postgresql_base().empty(); }

std::string postgresql_test_address() { return postgresql_base(); }

test_database::test_database(const std::string& folder) {
  std::string base = postgresql_base();
  if (base.empty()) {
    address_ = folder + "/shares.db";
    return;
  }
  static std::atomic<int> made{0};
  schema_ = "test_" + std::to_string(getpid()) + "_" + std::to_string(made++);
  bool ignored;
  pg_query(base, "DROP SCHEMA IF EXISTS " + schema_ + " CASCADE; CREATE SCHEMA " + schema_, ignored);
  address_ = base + (base.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" + schema_;
}

test_database::~test_database() {
  if (schema_.empty()) return;
  bool ignored;
  try {
    pg_query(postgresql_base(), "DROP SCHEMA IF EXISTS " + schema_ + " CASCADE", ignored);
  } catch (const std::exception&) {
    // A schema left behind is dropped by the next test of this pid, or with the cluster.
  }
}

std::string query_text(const std::string& database, const std::string& sql) {
  if (!is_postgresql_address(database)) return sqlite_query(database, sql);
  bool has_row;
  return pg_query(database, sql, has_row);
}

long long count_rows(const std::string& database, const std::string& table) {
  std::string count = query_text(database, "SELECT count(*) FROM " + table);
  return count.empty() ? -1 : std::stoll(count);
}

void run_sql(const std::string& database, const std::string& sql) {
  if (is_postgresql_address(database)) {
    bool has_row;
    pg_query(database, sql, has_row);
    return;
  }
  sqlite3* db = nullptr;
  char* message = nullptr;
  bool ok = sqlite3_open(database.c_str(), &db) == SQLITE_OK &&
            sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK;
  std::string error = message ? message : "";
  sqlite3_free(message);
  sqlite3_close(db);
  if (!ok) throw std::runtime_error("run_sql: " + error);
}

void fail_inserts(const std::string& database, const std::string& table, const std::string& condition,
                  const std::string& message) {
  if (!is_postgresql_address(database))
    return run_sql(database, "CREATE TRIGGER fail_" + table + " BEFORE INSERT ON " + table + " WHEN " + condition +
                                 " BEGIN SELECT RAISE(ABORT, '" + message + "'); END");
  run_sql(database, "CREATE FUNCTION fail_" + table +
                        "() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION '" + message +
                        "'; END $$; CREATE TRIGGER fail_" + table + " BEFORE INSERT ON " + table +
                        " FOR EACH ROW WHEN (" + condition + ") EXECUTE FUNCTION fail_" + table + "()");
}

void allow_inserts(const std::string& database, const std::string& table) {
  if (!is_postgresql_address(database)) return run_sql(database, "DROP TRIGGER fail_" + table);
  run_sql(database, "DROP TRIGGER fail_" + table + " ON " + table + "; DROP FUNCTION fail_" + table + "()");
}
