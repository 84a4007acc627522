#include "share_store.h"

#include "pg_share_store.h"
#include "sqlite_share_store.h"

bool is_postgresql_address(const std::string& database) {
  return database.rfind("postgresql://", 0) == 0 || database.rfind("postgres://", 0) == 0;
}

std::unique_ptr<share_store> share_store::open(const std::string& database, std::string& error) {
  if (is_postgresql_address(database)) return open_pg_share_store(database, error);
  return open_sqlite_share_store(database, error);
}

std::string printable_database_address(const std::string& database) {
  if (!is_postgresql_address(database)) return database;
  size_t scheme_end = database.find("://") + 3;
  size_t at = database.find('@', scheme_end);
  size_t colon = database.find(':', scheme_end);
  std::string shown = database;
  if (at != std::string::npos && colon < at) shown.replace(colon + 1, at - colon - 1, "***");
  size_t password = shown.find("password=");
  if (password != std::string::npos) shown.replace(password + 9, shown.find('&', password) - password - 9, "***");
  return shown;
}
