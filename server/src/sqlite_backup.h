// A consistent copy of a live SQLite database (the online backup API, one read snapshot),
// written beside `file` and linked into place only when whole: an existing file is never replaced.
#pragma once
#include <string>

bool sqlite_backup(const std::string& source_path, const std::string& file, std::string& error);
