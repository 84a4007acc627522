// Where the shares live: one interface, kept in SQLite (a file, the default) or in PostgreSQL
// (shared by several server processes). Both create and migrate their schema on open.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "package_rules.h"

constexpr int share_schema_version = 3;

struct new_share {
  std::string id;
  int64_t received_at = 0;  // seconds since 1970, UTC
  std::string client_address;
  std::string user_agent;
  std::string package;  // the ZIP as received; not kept: its texts and images are
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

// One report of a share as parsed when the share was stored: `skipped` names why the report
// was not taken (see report_runs.h), else `run` is its encode_run text.
struct stored_run {
  int64_t seq = 0;  // grows with every report stored
  std::string share_id;
  std::string skipped;
  std::string run;
};

class share_store {
 public:
  // "postgresql://..." or "postgres://..." opens PostgreSQL; anything else is a SQLite file.
  static std::unique_ptr<share_store> open(const std::string& database, std::string& error);
  virtual ~share_store() = default;

  // Everything of one share in one transaction: all of it is stored or none. True only once
  // the share is on disk.
  virtual bool insert(const new_share& share, std::string& error) = 0;
  virtual std::optional<stored_share> find_share(const std::string& id) = 0;
  virtual std::optional<std::string> find_png(const std::string& id, const std::string& image_name) = 0;
  // The parsed reports with a seq above `after`, in seq order.
  virtual bool load_runs(int64_t after, std::vector<stored_run>& runs, std::string& error) = 0;
  // How many parsed reports there are and the highest seq: tells a reader whether to load.
  virtual bool count_runs(int64_t& count, int64_t& last_seq, std::string& error) = 0;
  // A cheap query: false when the database does not answer.
  virtual bool healthy() = 0;
  // A consistent copy of the whole database into a new file, taken while others write.
  virtual bool backup(const std::string& file, std::string& error) = 0;
};

bool is_postgresql_address(const std::string& database);
// The address for messages: a password in it is replaced by "***".
std::string printable_database_address(const std::string& database);
