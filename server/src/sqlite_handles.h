// Owning handles for SQLite connections and statements.
#pragma once
#include <sqlite3.h>

#include <memory>

struct sqlite_closer {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct statement_finalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

using sqlite_db = std::unique_ptr<sqlite3, sqlite_closer>;
using sqlite_statement = std::unique_ptr<sqlite3_stmt, statement_finalizer>;
