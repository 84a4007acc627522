// Owning handles for libpq connections and results, and the parameters of one statement.
#pragma once
#include <libpq-fe.h>

#include <memory>
#include <string>
#include <vector>

struct pg_finisher {
  void operator()(PGconn* connection) const { PQfinish(connection); }
};
struct pg_clearer {
  void operator()(PGresult* result) const { PQclear(result); }
};

using pg_connection = std::unique_ptr<PGconn, pg_finisher>;
using pg_reply = std::unique_ptr<PGresult, pg_clearer>;

// Text parameters for text columns and numbers, binary ones for bytea; results come binary.
class pg_parameters {
 public:
  pg_parameters& text(std::string value) { return add(std::move(value), 0); }
  pg_parameters& bytes(std::string value) { return add(std::move(value), 1); }
  pg_parameters& number(long long value) { return add(std::to_string(value), 0); }

  PGresult* run(PGconn* connection, const char* sql) const {
    std::vector<const char*> values;
    std::vector<int> lengths, formats;
    for (const auto& [value, format] : values_) {
      values.push_back(value.c_str());
      lengths.push_back(static_cast<int>(value.size()));
      formats.push_back(format);
    }
    return PQexecParams(connection, sql, static_cast<int>(values.size()), nullptr, values.data(), lengths.data(),
                        formats.data(), 1);
  }

 private:
  pg_parameters& add(std::string value, int format) {
    values_.emplace_back(std::move(value), format);
    return *this;
  }
  std::vector<std::pair<std::string, int>> values_;
};
