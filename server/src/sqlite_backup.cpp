#include "sqlite_backup.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "sqlite_handles.h"

namespace {

std::string directory_of(const std::string& file) {
  size_t slash = file.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : file.substr(0, slash);
}

bool sync_path(const std::string& path, int flags) {
  int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = fsync(fd) == 0;
  ::close(fd);
  return ok;
}

bool copy_database(sqlite3* source, const std::string& target, std::string& error) {
  sqlite3* raw = nullptr;
  int result = sqlite3_open_v2(target.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  sqlite_db copy(raw);
  if (result != SQLITE_OK) return error = "cannot open " + target, false;
  sqlite3_backup* backup = sqlite3_backup_init(copy.get(), "main", source, "main");
  if (!backup) return error = std::string("backup: ") + sqlite3_errmsg(copy.get()), false;
  // All pages in one step: one read snapshot, so writers elsewhere go on and the copy is of one moment.
  sqlite3_busy_timeout(source, 5000);
  result = sqlite3_backup_step(backup, -1);
  sqlite3_backup_finish(backup);
  if (result != SQLITE_DONE) return error = std::string("backup: ") + sqlite3_errstr(result), false;
  // The copy is a plain rollback-journal file: no -wal beside it to forget when it is moved.
  char* message = nullptr;
  if (sqlite3_exec(copy.get(), "PRAGMA journal_mode = DELETE", nullptr, nullptr, &message) != SQLITE_OK) {
    error = std::string("backup: ") + (message ? message : "journal mode");
    sqlite3_free(message);
    return false;
  }
  return true;
}

}  // namespace

bool sqlite_backup(const std::string& source_path, const std::string& file, std::string& error) {
  if (access(file.c_str(), F_OK) == 0) return error = file + " exists; a backup never replaces a file", false;
  sqlite3* raw = nullptr;
  if (sqlite3_open_v2(source_path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    error = "cannot open " + source_path + ": " + (raw ? sqlite3_errmsg(raw) : "out of memory");
    sqlite3_close(raw);
    return false;
  }
  sqlite_db source(raw);
  std::string partial = file + ".partial" + std::to_string(getpid());
  int fd = ::open(partial.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return error = "cannot create " + partial + ": " + std::strerror(errno), false;
  ::close(fd);
  bool ok = copy_database(source.get(), partial, error) && sync_path(partial, O_RDONLY);
  if (ok && link(partial.c_str(), file.c_str()) != 0) {
    error = "cannot create " + file + ": " + std::strerror(errno);
    ok = false;
  }
  unlink(partial.c_str());
  return ok && sync_path(directory_of(file), O_RDONLY | O_DIRECTORY);
}
