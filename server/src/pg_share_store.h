// The shares in PostgreSQL, for several server processes on one database. The schema lives in
// the first schema of the connection's search_path; its version is the table share_schema.
// Commits are synchronous whatever the server's default.
#pragma once
#include <memory>
#include <string>

#include "share_store.h"

std::unique_ptr<share_store> open_pg_share_store(const std::string& address, std::string& error);
