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

// Statements on PostgreSQL; the text of the first field, throwing on failure.
std::string pg_query(const std::string& address, const std::string& sql) {
  PGconn* connection = PQconnectdb(address.c_str());
  std::string text, error;
  if (PQstatus(connection) == CONNECTION_OK) {
    PGresult* result = PQexec(connection, sql.c_str());
    ExecStatusType status = PQresultStatus(result);
    if (status == PGRES_TUPLES_OK && PQntuples(result) > 0) text = PQgetvalue(result, 0, 0);
    else if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) error = PQerrorMessage(connection);
    PQclear(result);
  } else {
    error = PQerrorMessage(connection);
  }
  PQfinish(connection);
  if (!error.empty()) throw std::runtime_error("PostgreSQL: " + error + " in " + sql);
  return text;
}

// The same on SQLite.
std::string sqlite_query(const std::string& database, const std::string& sql) {
  sqlite3* db = nullptr;
  char* message = nullptr;
  std::pair<bool, std::string> first;
  auto take_first = [](void* out, int columns, char** values, char**) {
    auto& [taken, text] = *static_cast<std::pair<bool, std::string>*>(out);
    if (!taken && columns > 0 && values[0]) text = values[0];
    taken = true;
    return 0;
  };
  bool ok = sqlite3_open(database.c_str(), &db) == SQLITE_OK &&
            sqlite3_exec(db, sql.c_str(), take_first, &first, &message) == SQLITE_OK;
  std::string error = message ? message : sqlite3_errmsg(db);
  sqlite3_free(message);
  sqlite3_close(db);
  if (!ok) throw std::runtime_error("SQLite: " + error + " in " + sql);
  return first.second;
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
  pg_query(base, "DROP SCHEMA IF EXISTS " + schema_ + " CASCADE; CREATE SCHEMA " + schema_);
  address_ = base + (base.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" + schema_;
}

test_database::~test_database() {
  if (schema_.empty()) return;
  try {
    pg_query(postgresql_base(), "DROP SCHEMA IF EXISTS " + schema_ + " CASCADE");
  } catch (const std::exception&) {
    // A schema left behind is dropped by the next test of this pid, or with the cluster.
  }
}

std::string query_text(const std::string& database, const std::string& sql) {
  return is_postgresql_address(database) ? pg_query(database, sql) : sqlite_query(database, sql);
}

long long count_rows(const std::string& database, const std::string& table) {
  return std::stoll(query_text(database, "SELECT count(*) FROM " + table));
}

void run_sql(const std::string& database, const std::string& sql) { query_text(database, sql); }

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
