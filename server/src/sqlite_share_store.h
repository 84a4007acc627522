// The shares in one SQLite file (WAL, synchronous commits, created 0600). The schema version is
// PRAGMA user_version; a database of today's layout or any older one is migrated on open.
#pragma once
#include <memory>
#include <string>

#include "share_store.h"

std::unique_ptr<share_store> open_sqlite_share_store(const std::string& path, std::string& error);
