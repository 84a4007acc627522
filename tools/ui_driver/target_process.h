#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "child_watch.h"
#include "support/scoped_win.h"

struct start_request {
  std::vector<std::wstring> args;  // the program first
  std::wstring dir;                // empty: the driver's own
  bool limited = false;            // the limited half of a split token instead of the full one
  bool new_console = false;        // a console of its own; otherwise none
};

// The process under test: one the driver started, one it adopted by a window, or one that the
// target started.
class target_process {
 public:
  // Starts the process in `watch`'s next job, so that processes it starts can be followed.
  bool start(const start_request& request, child_watch& watch, std::string& error);
  bool adopt(DWORD pid, std::string& error);
  // Takes the handle of a process opened elsewhere.
  void adopt(HANDLE process, DWORD pid);
  bool present() const { return process_.valid(); }
  DWORD pid() const { return pid_; }
  bool running() const;
  // Waits up to `timeout_ms` for the end and gives the exit code.
  bool wait_exit(DWORD timeout_ms, uint32_t& code, std::string& error);
  bool kill(std::string& error);

 private:
  scoped_handle process_;
  DWORD pid_ = 0;
};
