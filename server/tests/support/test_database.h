// The database a test's server or store uses: a SQLite file in the test's folder, or, when
// FOLVI_SHARE_TEST_DB holds a postgresql:// address, a schema of its own on that server, made
// for the test and dropped after it.
#pragma once
#include <string>

bool testing_on_postgresql();
// The suite's PostgreSQL database (FOLVI_SHARE_TEST_DB), or empty on SQLite.
std::string postgresql_test_address();

class test_database {
 public:
  explicit test_database(const std::string& folder);
  ~test_database();
  test_database(const test_database&) = delete;
  test_database& operator=(const test_database&) = delete;

  // What the server takes as --db.
  const std::string& address() const { return address_; }

 private:
  std::string address_;
  std::string schema_;  // PostgreSQL only
};

// Rows of a table of the server's database, read through a connection of our own.
long long count_rows(const std::string& database, const std::string& table);
// The first column of the first row of a query, or empty; throws when the query fails.
std::string query_text(const std::string& database, const std::string& sql);
// Runs statements on the server's database (for faults the tests put in).
void run_sql(const std::string& database, const std::string& sql);
// From now on inserts into `table` whose row matches `condition` fail with `message`.
void fail_inserts(const std::string& database, const std::string& table, const std::string& condition,
                  const std::string& message);
void allow_inserts(const std::string& database, const std::string& table);
