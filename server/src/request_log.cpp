#include "request_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

request_log::~request_log() {
  if (fd_ > 2) close(fd_);
}

bool request_log::open(std::string& error) {
  if (path_.empty()) return true;
  int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0640);
  if (fd < 0) {
    error = "cannot open the log " + path_ + ": " + std::strerror(errno);
    return false;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  if (fd_ > 2) close(fd_);
  fd_ = fd;
  return true;
}

void request_log::write(std::string_view line) {
  std::string whole(line);
  whole += '\n';
  std::lock_guard<std::mutex> lock(mutex_);
  size_t done = 0;
  while (done < whole.size()) {
    ssize_t n = ::write(fd_, whole.data() + done, whole.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // a full disk loses log lines, not requests
    done += static_cast<size_t>(n);
  }
}

std::string log_timestamp(std::chrono::system_clock::time_point when) {
  auto since_epoch = when.time_since_epoch();
  std::time_t seconds = std::chrono::duration_cast<std::chrono::seconds>(since_epoch).count();
  int millis = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(since_epoch).count() % 1000);
  std::tm parts{};
  gmtime_r(&seconds, &parts);
  char text[40];
  size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
  std::snprintf(text + n, sizeof text - n, ".%03dZ", millis);
  return text;
}

namespace {

bool id_char(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

}  // namespace

std::string shorten_share_ids(std::string_view text) {
  // A share id is a run of exactly 22 id characters; in a log line it shows as its first six
  // and "...".
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    if (!id_char(text[i])) {
      out += text[i++];
      continue;
    }
    size_t end = i;
    while (end < text.size() && id_char(text[end])) ++end;
    if (end - i == 22) out.append(text.substr(i, 6)).append("...");
    else out.append(text.substr(i, end - i));
    i = end;
  }
  return out;
}
