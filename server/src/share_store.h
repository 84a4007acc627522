// The shares in SQLite (WAL mode): one row per accepted upload and one per converted image.
// The schema is versioned through PRAGMA user_version; a database from a newer server is refused.
#pragma once
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "package_rules.h"
#include "sqlite_handles.h"

constexpr int share_schema_version = 1;

struct new_share {
  std::string id;
  int64_t received_at = 0;  // seconds since 1970, UTC
  std::string client_address;
  std::string user_agent;
  std::string package;  // the ZIP as received
  share_contents contents;
};

struct image_info {
  std::string name;
  uint32_t width = 0;
  uint32_t height = 0;
};

struct stored_share {
  std::string kind;
  int64_t received_at = 0;
  std::string report;
  std::vector<image_info> images;  // in package order
};

class share_store {
 public:
  // Opens or creates the database and brings its schema up to date.
  static std::unique_ptr<share_store> open(const std::string& path, std::string& error);

  // Everything of one share in one transaction: all of it is stored or none.
  bool insert(const new_share& share, std::string& error);
  std::optional<stored_share> find_share(const std::string& id);
  std::optional<std::string> find_png(const std::string& id, const std::string& image_name);
  // The database answers a query.
  bool healthy();

 private:
  explicit share_store(sqlite_db db) : db_(std::move(db)) {}
  bool insert_locked(const new_share& share, std::string& error);

  std::mutex mutex_;  // one connection, used by one request at a time
  sqlite_db db_;
};
