#include "driver.h"

#include "support/format_string.h"
#include "script_words.h"
#include "support/text.h"
#include "window_find.h"

const ui_driver::named_handler ui_driver::handlers[] = {
    {"start", &ui_driver::start},
    {"adopt", &ui_driver::adopt},
    {"follow-child", &ui_driver::follow_child},
    {"wait-exit", &ui_driver::wait_exit},
    {"expect-exit", &ui_driver::expect_exit},
    {"expect-running", &ui_driver::expect_running},
    {"kill", &ui_driver::kill},
    {"wait-window", &ui_driver::wait_window},
    {"windows", &ui_driver::windows},
    {"wait-gone", &ui_driver::wait_gone},
    {"controls", &ui_driver::controls},
    {"text", &ui_driver::text},
    {"expect-text", &ui_driver::expect_text},
    {"wait-text", &ui_driver::wait_text},
    {"state", &ui_driver::state},
    {"expect-state", &ui_driver::expect_state},
    {"wait-state", &ui_driver::wait_state},
    {"rect", &ui_driver::rect},
    {"client-rect", &ui_driver::client_rect},
    {"rows", &ui_driver::rows},
    {"items", &ui_driver::items},
    {"select", &ui_driver::select},
    {"select-index", &ui_driver::select_index},
    {"choose", &ui_driver::choose},
    {"click", &ui_driver::click},
    {"command", &ui_driver::post_command},
    {"set-text", &ui_driver::set_text},
    {"type", &ui_driver::type},
    {"key", &ui_driver::key},
    {"close", &ui_driver::close},
    {"activate", &ui_driver::activate},
    {"console", &ui_driver::console},
    {"wait-console", &ui_driver::wait_console},
    {"console-type", &ui_driver::console_type},
    {"timeout", &ui_driver::set_timeout},
    {"echo", &ui_driver::echo},
    {"quit", &ui_driver::quit},
};

bool ui_driver::execute(const command& c, reply& out) {
  for (const named_handler& h : handlers)
    if (c.name == h.name) return (this->*h.run)(c, out);
  out.error = "no handler for \"" + c.name + "\"";
  return false;
}

DWORD ui_driver::end_leftover_target() {
  if (!started_here_ || !target_.running()) return 0;
  std::string ignored;
  target_.kill(ignored);
  return target_.pid();
}

bool ui_driver::timeout_of(const command& c, DWORD& ms, std::string& error) const {
  ms = default_timeout_ms_;
  auto it = c.options.find("--timeout");
  if (it == c.options.end()) return true;
  uint32_t value = 0;
  if (!parse_count(it->second, 3600000, value)) {
    error = "--timeout: \"" + it->second + "\" is not a number of milliseconds up to 3600000";
    return false;
  }
  ms = value;
  return true;
}

bool ui_driver::need_target(std::string& error) const {
  if (target_.present()) return true;
  error = "no target process: start one first";
  return false;
}

bool ui_driver::need_window(std::string& error) const {
  if (!window_) {
    error = "no current window: wait-window first";
    return false;
  }
  if (!IsWindow(window_)) {
    error = "the current window is gone";
    return false;
  }
  return true;
}

HWND ui_driver::control(const std::string& which, std::string& error) const {
  int id = 0;
  if (!parse_control(which, id, error) || !need_window(error)) return nullptr;
  if (id == window_itself) return window_;
  HWND found = find_control(window_, id);
  if (!found) error = format_string("no control %d in window ", id) + describe_window(window_);
  return found;
}

bool ui_driver::start(const command& c, reply& out) {
  start_request request;
  for (const std::string& arg : c.args) request.args.push_back(from_utf8(arg));
  request.limited = c.has("--limited");
  request.new_console = c.has("--new-console");
  if (c.has("--dir")) request.dir = from_utf8(c.options.at("--dir"));
  if (!target_.start(request, children_, out.error)) return false;
  started_here_ = true;
  window_ = nullptr;
  out.lines.push_back(format_string("pid %lu", (unsigned long)target_.pid()));
  return true;
}

bool ui_driver::adopt(const command&, reply& out) {
  if (!need_window(out.error)) return false;
  if (!target_.adopt(process_of(window_), out.error)) return false;
  started_here_ = false;
  out.lines.push_back(format_string("pid %lu", (unsigned long)target_.pid()));
  return true;
}

bool ui_driver::follow_child(const command& c, reply& out) {
  DWORD ms = 0;
  joined_process child;
  if (!need_target(out.error) || !timeout_of(c, ms, out.error) ||
      !children_.take_child(target_.pid(), ms, child, out.error))
    return false;
  // Ended at the end, as its parent would have been, when the driver started that.
  target_.adopt(child.handle, child.pid);
  window_ = nullptr;
  out.lines.push_back(format_string("pid %lu ", (unsigned long)child.pid) + image_of(child.handle));
  return true;
}

bool ui_driver::wait_exit(const command& c, reply& out) {
  DWORD ms = 0;
  uint32_t code = 0;
  if (!timeout_of(c, ms, out.error) || !target_.wait_exit(ms, code, out.error)) return false;
  out.lines.push_back(format_string("exit %lu", (unsigned long)code));
  return true;
}

bool ui_driver::expect_exit(const command& c, reply& out) {
  uint32_t wanted = 0;
  if (!parse_exit_code(c.args[0], wanted)) {
    out.error = "\"" + c.args[0] + "\" is not an exit code";
    return false;
  }
  DWORD ms = 0;
  uint32_t code = 0;
  if (!timeout_of(c, ms, out.error) || !target_.wait_exit(ms, code, out.error)) return false;
  if (code == wanted) return true;
  out.error = format_string("the target ended with %lu, not %lu", (unsigned long)code, (unsigned long)wanted);
  return false;
}

bool ui_driver::expect_running(const command&, reply& out) {
  if (!need_target(out.error)) return false;
  if (target_.running()) return true;
  uint32_t code = 0;
  target_.wait_exit(0, code, out.error);
  out.error = format_string("the target has ended with %lu", (unsigned long)code);
  return false;
}

bool ui_driver::kill(const command&, reply& out) { return target_.kill(out.error); }

bool ui_driver::set_timeout(const command& c, reply& out) {
  uint32_t value = 0;
  if (!parse_count(c.args[0], 3600000, value)) {
    out.error = "\"" + c.args[0] + "\" is not a number of milliseconds up to 3600000";
    return false;
  }
  default_timeout_ms_ = value;
  return true;
}

bool ui_driver::echo(const command& c, reply& out) {
  std::string line;
  for (const std::string& arg : c.args) line += (line.empty() ? "" : " ") + arg;
  out.lines.push_back(escaped(line));
  return true;
}

bool ui_driver::quit(const command&, reply& out) {
  out.quit = true;
  return true;
}
