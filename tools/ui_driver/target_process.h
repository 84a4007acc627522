#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/scoped_win.h"

struct start_request {
  std::vector<std::wstring> args;  // the program first
  std::wstring dir;                // empty: the driver's own
  bool limited = false;            // the limited half of a split token instead of the full one
  bool new_console = false;        // a console of its own; otherwise none
};

// The process under test: one the driver started, or one it adopted by a window.
class target_process {
 public:
  bool start(const start_request& request, std::string& error);
  bool adopt(DWORD pid, std::string& error);
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
