// The console commands of the driver: the target's console read and typed into.
#include "driver.h"

#include "console_link.h"
#include "script_words.h"
#include "support/format_string.h"
#include "support/text.h"
#include "text_match.h"
#include "wait_until.h"

bool ui_driver::console(const command&, reply& out) {
  std::vector<std::wstring> rows;
  if (!need_target(out.error) || !read_console(target_.pid(), rows, out.error)) return false;
  for (const std::wstring& row : rows) out.lines.push_back(escaped(to_utf8(row)));
  return true;
}

bool ui_driver::wait_console(const command& c, reply& out) {
  DWORD ms = 0;
  if (!need_target(out.error) || !timeout_of(c, ms, out.error)) return false;
  std::vector<std::wstring> rows;
  std::string last_error;
  bool found = false, ended = false;
  wait_until(ms, [&] {
    last_error.clear();
    if (read_console(target_.pid(), rows, last_error))
      for (const std::wstring& row : rows) found = found || text_matches(c.args[0], to_utf8(row));
    ended = !found && !target_.running();
    return found || ended;
  });
  if (found) return true;
  out.error = "no console row matches \"" + escaped(c.args[0]) + "\"" +
              (ended ? std::string(": the target has ended") : format_string(" within %lu ms", (unsigned long)ms));
  if (!last_error.empty()) out.error += " (" + last_error + ")";
  for (const std::wstring& row : rows) out.lines.push_back("seen " + escaped(to_utf8(row)));
  return false;
}

bool ui_driver::console_type(const command& c, reply& out) {
  return need_target(out.error) && type_into_console(target_.pid(), from_utf8(c.args[0]), out.error);
}
