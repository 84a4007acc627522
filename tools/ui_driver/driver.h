#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "driver_commands.h"
#include "target_process.h"

// What one command answers: data lines, and an error message when it failed.
struct reply {
  std::vector<std::string> lines;
  std::string error;
  bool quit = false;
};

// Carries out commands against one target process and one current window.
class ui_driver {
 public:
  // Runs one command that parse_command accepted; false when it failed (reason in out.error).
  bool execute(const command& c, reply& out);
  // Ends a target this driver started that still runs; its pid, or 0 when there was none.
  DWORD end_leftover_target();

 private:
  using handler = bool (ui_driver::*)(const command&, reply&);
  struct named_handler {
    const char* name;
    handler run;
  };
  static const named_handler handlers[];

  bool start(const command& c, reply& out);
  bool adopt(const command& c, reply& out);
  bool follow_child(const command& c, reply& out);
  bool wait_exit(const command& c, reply& out);
  bool expect_exit(const command& c, reply& out);
  bool expect_running(const command& c, reply& out);
  bool kill(const command& c, reply& out);
  bool wait_window(const command& c, reply& out);
  bool windows(const command& c, reply& out);
  bool wait_gone(const command& c, reply& out);
  bool controls(const command& c, reply& out);
  bool text(const command& c, reply& out);
  bool expect_text(const command& c, reply& out);
  bool wait_text(const command& c, reply& out);
  bool state(const command& c, reply& out);
  bool expect_state(const command& c, reply& out);
  bool wait_state(const command& c, reply& out);
  bool rect(const command& c, reply& out);
  bool client_rect(const command& c, reply& out);
  bool rows(const command& c, reply& out);
  bool items(const command& c, reply& out);
  bool select(const command& c, reply& out);
  bool select_index(const command& c, reply& out);
  bool choose(const command& c, reply& out);
  bool click(const command& c, reply& out);
  bool post_command(const command& c, reply& out);
  bool set_text(const command& c, reply& out);
  bool type(const command& c, reply& out);
  bool key(const command& c, reply& out);
  bool close(const command& c, reply& out);
  bool activate(const command& c, reply& out);
  bool console(const command& c, reply& out);
  bool wait_console(const command& c, reply& out);
  bool console_type(const command& c, reply& out);
  bool set_timeout(const command& c, reply& out);
  bool echo(const command& c, reply& out);
  bool quit(const command& c, reply& out);

  bool timeout_of(const command& c, DWORD& ms, std::string& error) const;
  bool need_target(std::string& error) const;
  bool need_window(std::string& error) const;
  // The control a CONTROL argument names in the current window.
  HWND control(const std::string& which, std::string& error) const;
  bool text_matching(const command& c, bool wait, reply& out);
  bool state_matching(const command& c, bool wait, reply& out);
  bool combo_choice(const command& c, bool by_index, reply& out);

  child_watch children_;
  target_process target_;
  bool started_here_ = false;
  HWND window_ = nullptr;
  DWORD default_timeout_ms_ = 10000;
};
