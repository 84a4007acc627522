// The window commands of the driver: finding windows, reading and driving their controls.
#include "driver.h"

#include <algorithm>

#include "key_names.h"
#include "list_view_remote.h"
#include "script_words.h"
#include "support/format_string.h"
#include "support/text.h"
#include "text_match.h"
#include "wait_until.h"
#include "window_find.h"
#include "window_io.h"

namespace {
std::string joined(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& w : words) line += (line.empty() ? "" : " ") + w;
  return line;
}

std::string wanted_window_text(const window_query& q) {
  std::string text = "no visible window";
  if (!q.title.empty()) text += " titled \"" + escaped(q.title) + "\"";
  if (!q.klass.empty()) text += " of class \"" + escaped(q.klass) + "\"";
  if (!q.any_process) text += format_string(" in process %lu", (unsigned long)q.pid);
  return text;
}
}  // namespace

bool ui_driver::wait_window(const command& c, reply& out) {
  window_query q;
  q.any_process = c.has("--any-process");
  if (c.has("--title")) q.title = c.options.at("--title");
  if (c.has("--class")) q.klass = c.options.at("--class");
  DWORD ms = 0;
  if (!timeout_of(c, ms, out.error)) return false;
  if (q.any_process && c.has("--or-exit")) {
    out.error = "--or-exit waits for the target's own window, not --any-process";
    return false;
  }
  if (!q.any_process) {
    if (!need_target(out.error)) return false;
    q.pid = target_.pid();
  }
  std::vector<HWND> found;
  bool target_ended = false;
  wait_until(ms, [&] {
    found = find_top_level_windows(q);
    target_ended = !q.any_process && !target_.running();
    return !found.empty() || target_ended;
  });
  uint32_t code = 0;
  if (found.empty() && target_ended && c.has("--or-exit") && target_.wait_exit(0, code, out.error)) {
    window_ = nullptr;
    out.lines.push_back(format_string("exit %lu", (unsigned long)code));
    return true;
  }
  if (found.empty()) {
    out.error = wanted_window_text(q) +
                (target_ended ? ": the target has ended" : format_string(" within %lu ms", (unsigned long)ms));
    window_query all = q;
    all.title.clear();
    all.klass.clear();
    for (HWND w : find_top_level_windows(all)) out.lines.push_back("seen " + describe_window(w));
    return false;
  }
  window_ = found.front();
  out.lines.push_back("window " + describe_window(window_));
  return true;
}

bool ui_driver::windows(const command& c, reply& out) {
  window_query q;
  q.any_process = c.has("--any-process");
  if (!q.any_process) {
    if (!need_target(out.error)) return false;
    q.pid = target_.pid();
  }
  for (HWND w : find_top_level_windows(q))
    out.lines.push_back(format_string("pid %lu ", (unsigned long)process_of(w)) + describe_window(w));
  return true;
}

bool ui_driver::wait_gone(const command& c, reply& out) {
  DWORD ms = 0;
  if (!timeout_of(c, ms, out.error)) return false;
  if (!window_) {
    out.error = "no current window: wait-window first";
    return false;
  }
  if (!wait_until(ms, [&] { return !IsWindow(window_); })) {
    out.error = "window " + describe_window(window_) + format_string(" still there after %lu ms", (unsigned long)ms);
    return false;
  }
  window_ = nullptr;
  return true;
}

bool ui_driver::controls(const command&, reply& out) {
  if (!need_window(out.error)) return false;
  for (HWND child : child_controls(window_)) {
    std::wstring text;
    std::string ignored;
    read_text(child, text, ignored);
    out.lines.push_back(format_string("%d ", GetDlgCtrlID(child)) + class_of(child) + " " + joined(state_words(child)) +
                        " \"" + escaped(to_utf8(text)) + "\"");
  }
  return true;
}

bool ui_driver::text(const command& c, reply& out) {
  HWND h = control(c.args[0], out.error);
  std::wstring value;
  if (!h || !read_text(h, value, out.error)) return false;
  out.lines.push_back(escaped(to_utf8(value)));
  return true;
}

bool ui_driver::text_matching(const command& c, bool wait, reply& out) {
  DWORD ms = 0;
  HWND h = control(c.args[0], out.error);
  if (!h || !timeout_of(c, ms, out.error)) return false;
  std::wstring value;
  bool readable = true;
  const bool matched = wait_until(wait ? ms : 0, [&] {
    readable = read_text(h, value, out.error);
    return readable && text_matches(c.args[1], to_utf8(value));
  });
  if (matched) return true;
  if (readable)
    out.error = "control " + c.args[0] + " reads \"" + escaped(to_utf8(value)) + "\", not \"" + escaped(c.args[1]) +
                "\"" + (wait ? format_string(" after %lu ms", (unsigned long)ms) : std::string());
  return false;
}

bool ui_driver::expect_text(const command& c, reply& out) { return text_matching(c, false, out); }
bool ui_driver::wait_text(const command& c, reply& out) { return text_matching(c, true, out); }

bool ui_driver::state(const command& c, reply& out) {
  HWND h = control(c.args[0], out.error);
  if (!h) return false;
  out.lines.push_back(joined(state_words(h)));
  return true;
}

bool ui_driver::state_matching(const command& c, bool wait, reply& out) {
  const std::vector<std::string> wanted(c.args.begin() + 1, c.args.end());
  for (const std::string& w : wanted) {
    if (!is_state_word(w)) {
      out.error = "unknown state \"" + w + "\" (visible hidden enabled disabled checked unchecked focused)";
      return false;
    }
  }
  DWORD ms = 0;
  HWND h = control(c.args[0], out.error);
  if (!h || !timeout_of(c, ms, out.error)) return false;
  std::vector<std::string> now;
  const bool matched = wait_until(wait ? ms : 0, [&] {
    now = state_words(h);
    return std::all_of(wanted.begin(), wanted.end(),
                       [&](const std::string& w) { return std::find(now.begin(), now.end(), w) != now.end(); });
  });
  if (matched) return true;
  out.error = "control " + c.args[0] + " is " + joined(now) + ", not " + joined(wanted) +
              (wait ? format_string(" after %lu ms", (unsigned long)ms) : std::string());
  return false;
}

bool ui_driver::expect_state(const command& c, reply& out) { return state_matching(c, false, out); }
bool ui_driver::wait_state(const command& c, reply& out) { return state_matching(c, true, out); }

bool ui_driver::rect(const command& c, reply& out) {
  HWND h = control(c.args[0], out.error);
  RECT r{};
  if (!h) return false;
  if (!GetWindowRect(h, &r)) {
    out.error = format_string("GetWindowRect failed with %lu", (unsigned long)GetLastError());
    return false;
  }
  out.lines.push_back(format_string("%ld %ld %ld %ld", r.left, r.top, r.right - r.left, r.bottom - r.top));
  return true;
}

bool ui_driver::client_rect(const command&, reply& out) {
  if (!need_window(out.error)) return false;
  RECT r{};
  POINT origin{0, 0};
  if (!GetClientRect(window_, &r) || !ClientToScreen(window_, &origin)) {
    out.error = format_string("GetClientRect failed with %lu", (unsigned long)GetLastError());
    return false;
  }
  out.lines.push_back(format_string("%ld %ld %ld %ld", origin.x, origin.y, r.right, r.bottom));
  return true;
}

bool ui_driver::rows(const command& c, reply& out) {
  HWND h = control(c.args[0], out.error);
  std::vector<std::vector<std::wstring>> table;
  if (!h || !list_view_rows(h, table, out.error)) return false;
  for (const auto& row : table) {
    std::string line;
    for (size_t i = 0; i < row.size(); ++i) line += (i ? "\t" : "") + escaped(to_utf8(row[i]));
    out.lines.push_back(line);
  }
  return true;
}

bool ui_driver::items(const command& c, reply& out) {
  HWND h = control(c.args[0], out.error);
  std::vector<std::wstring> list;
  if (!h || !combo_items(h, list, out.error)) return false;
  for (const std::wstring& item : list) out.lines.push_back(escaped(to_utf8(item)));
  return true;
}

bool ui_driver::combo_choice(const command& c, bool by_index, reply& out) {
  HWND h = control(c.args[0], out.error);
  std::vector<std::wstring> list;
  if (!h || !combo_items(h, list, out.error)) return false;
  uint32_t index = 0;
  if (by_index) {
    if (!parse_count(c.args[1], 0x7FFFFFFF, index) || index >= list.size()) {
      out.error = "\"" + c.args[1] + format_string("\" is not an item index below %zu", list.size());
      return false;
    }
  } else {
    while (index < list.size() && !text_matches(c.args[1], to_utf8(list[index]))) ++index;
    if (index == list.size()) {
      out.error = "no item of control " + c.args[0] + " matches \"" + escaped(c.args[1]) + "\"";
      for (const std::wstring& item : list) out.lines.push_back("item " + escaped(to_utf8(item)));
      return false;
    }
  }
  return combo_select(h, index, out.error);
}

bool ui_driver::select(const command& c, reply& out) { return combo_choice(c, false, out); }
bool ui_driver::select_index(const command& c, reply& out) { return combo_choice(c, true, out); }

bool ui_driver::choose(const command& c, reply& out) {
  HWND h = control(c.args[0], out.error);
  DWORD ms = 0;
  if (!h || !timeout_of(c, ms, out.error) || !combo_drop_down(h, out.error)) return false;
  // Opening the list may add items: the match is looked for until it is there.
  std::vector<std::wstring> list;
  size_t index = 0;
  const bool found = wait_until(ms, [&] {
    std::string ignored;
    list.clear();
    if (!combo_items(h, list, ignored)) return false;
    for (index = 0; index < list.size(); ++index)
      if (text_matches(c.args[1], to_utf8(list[index]))) return true;
    return false;
  });
  if (!found) {
    out.error = "no item of control " + c.args[0] + " matches \"" + escaped(c.args[1]) + "\"";
    for (const std::wstring& item : list) out.lines.push_back("item " + escaped(to_utf8(item)));
    return false;
  }
  return combo_confirm(h, index, out.error);
}

bool ui_driver::click(const command& c, reply& out) {
  HWND h = control(c.args[0], out.error);
  if (!h) return false;
  return c.options.count("--ctrl") ? ctrl_click_button(h, out.error) : click_button(h, out.error);
}

bool ui_driver::post_command(const command& c, reply& out) {
  uint32_t id = 0;
  if (!parse_count(c.args[0], 0xFFFF, id)) {
    out.error = "\"" + c.args[0] + "\" is not a command id (a number up to 65535)";
    return false;
  }
  return need_window(out.error) && ::post_command(window_, int(id), out.error);
}

bool ui_driver::set_text(const command& c, reply& out) {
  HWND h = control(c.args[0], out.error);
  return h && write_text(h, from_utf8(c.args[1]), out.error);
}

bool ui_driver::type(const command& c, reply& out) {
  HWND h = control(c.args[0], out.error);
  return h && type_characters(h, from_utf8(c.args[1]), out.error);
}

bool ui_driver::key(const command& c, reply& out) {
  key_info k;
  if (!key_by_name(c.args[0], k)) {
    out.error = "unknown key \"" + c.args[0] + "\"";
    return false;
  }
  HWND to = nullptr;
  if (c.args.size() > 1 && !(to = control(c.args[1], out.error))) return false;
  return need_window(out.error) && press_key(window_, to, k, out.error);
}

bool ui_driver::close(const command&, reply& out) { return need_window(out.error) && close_window(window_, out.error); }

bool ui_driver::activate(const command&, reply& out) {
  return need_window(out.error) && bring_to_front(window_, out.error);
}
