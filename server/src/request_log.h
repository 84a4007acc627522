// The request log: one line per request, written when the request is done, to a file that
// SIGHUP reopens (for log rotation) or to standard error.
#pragma once
#include <chrono>
#include <mutex>
#include <string>
#include <string_view>

class request_log {
 public:
  // Empty path: standard error.
  explicit request_log(std::string path) : path_(std::move(path)) {}
  ~request_log();
  bool open(std::string& error);
  bool reopen(std::string& error) { return open(error); }
  // One line, written whole by one write call; a line end is added.
  void write(std::string_view line);

 private:
  std::string path_;
  std::mutex mutex_;
  int fd_ = 2;
};

// "2024-01-31T09:05:00.123Z"
std::string log_timestamp(std::chrono::system_clock::time_point when);
// Share links are the only access control: a log keeps a share id's first six characters.
std::string shorten_share_ids(std::string_view text);
