// One folvi-share process for a test: started on port 0 in a fresh folder, found through its
// port file, stopped by its pid.
#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "temp_folder.h"
#include "test_database.h"

class server_process {
 public:
  explicit server_process(const std::vector<std::string>& extra_arguments = {});
  ~server_process();
  server_process(const server_process&) = delete;
  server_process& operator=(const server_process&) = delete;

  int port() const { return port_; }
  const std::string& folder() const { return folder_.path; }
  std::string database() const { return database_.address(); }
  std::string log() const;
  // The log once `ready` holds for it, or as it stands after twenty seconds: a request's line is
  // written after its reply has gone out, so a client may read the log before the line is there.
  std::string log_when(const std::function<bool(const std::string&)>& ready) const;
  std::string log_showing(const std::string& text) const {
    return log_when([&](const std::string& log) { return log.find(text) != std::string::npos; });
  }
  // SIGTERM to our child, then its exit status (-1 when it did not exit normally).
  int stop();
  // SIGKILL to our child, as a crash would end it; then reaps it.
  void kill_hard();
  // A signal to our child; and whether it is still there (not exited).
  void send_signal(int signal_number) const;
  bool alive();

 private:
  temp_folder folder_;
  test_database database_;
  pid_t pid_ = -1;
  int port_ = 0;
};
