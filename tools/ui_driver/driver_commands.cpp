#include "driver_commands.h"

#include <sstream>

namespace {
// name, usage, min and max arguments, value options, flags, options before arguments only, help.
const std::vector<command_form> forms = {
    {"start", "[--limited] [--new-console] [--dir DIR] PROGRAM [ARGUMENT...]", 1, any_count, "--dir",
     "--limited --new-console", true, "starts the target with the full token (or the limited one); replies \"pid N\""},
    {"adopt", "", 0, 0, "", "", false, "makes the current window's process the target"},
    {"follow-child", "[--timeout MS]", 0, 0, "--timeout", "", false,
     "waits for a process that the target started (ended or not) and makes it the target; replies \"pid N IMAGE\""},
    {"wait-exit", "[--timeout MS]", 0, 0, "--timeout", "", false, "waits for the target to end; replies \"exit N\""},
    {"expect-exit", "CODE [--timeout MS]", 1, 1, "--timeout", "", false, "waits for the target to end with CODE"},
    {"expect-running", "", 0, 0, "", "", false, "fails if the target has ended"},
    {"kill", "", 0, 0, "", "", false, "ends the target"},
    {"wait-window", "[--title PATTERN] [--class PATTERN] [--any-process] [--or-exit] [--timeout MS]", 0, 0,
     "--title --class --timeout", "--any-process --or-exit", false,
     "waits for a visible top-level window and makes it the current one (--or-exit: or for the target to end "
     "first, replying \"exit N\")"},
    {"windows", "[--any-process]", 0, 0, "", "--any-process", false, "lists the visible top-level windows"},
    {"wait-gone", "[--timeout MS]", 0, 0, "--timeout", "", false, "waits for the current window to be destroyed"},
    {"controls", "", 0, 0, "", "", false, "lists the current window's controls: id, class, state, text"},
    {"text", "CONTROL", 1, 1, "", "", false, "the control's text (\".\" is the window itself)"},
    {"expect-text", "CONTROL PATTERN", 2, 2, "", "", false, "fails unless the text matches"},
    {"wait-text", "CONTROL PATTERN [--timeout MS]", 2, 2, "--timeout", "", false, "waits until the text matches"},
    {"state", "CONTROL", 1, 1, "", "", false, "visible|hidden enabled|disabled, checked|unchecked, focused"},
    {"expect-state", "CONTROL STATE...", 2, any_count, "", "", false, "fails unless the control is in every STATE"},
    {"wait-state", "CONTROL STATE... [--timeout MS]", 2, any_count, "--timeout", "", false,
     "waits until the control is in every STATE"},
    {"rect", "CONTROL", 1, 1, "", "", false, "screen rectangle: X Y WIDTH HEIGHT"},
    {"client-rect", "", 0, 0, "", "", false, "the current window's client area on the screen: X Y WIDTH HEIGHT"},
    {"rows", "CONTROL", 1, 1, "", "", false, "a list view's rows, columns separated by \\t"},
    {"items", "CONTROL", 1, 1, "", "", false, "a combo box's items"},
    {"select", "CONTROL PATTERN", 2, 2, "", "", false,
     "selects the first combo box item that matches, as the user does (the parent gets CBN_SELCHANGE)"},
    {"select-index", "CONTROL INDEX", 2, 2, "", "", false, "selects the combo box item at INDEX (from 0)"},
    {"choose", "CONTROL PATTERN [--timeout MS]", 2, 2, "--timeout", "", false,
     "chooses from a drop-down list as the mouse does: the parent hears the list open, then (once an item "
     "matches) the selection, its confirmation and the list closing"},
    {"click", "[--ctrl] CONTROL", 1, 1, "", "--ctrl", false,
     "clicks a button (--ctrl: a real mouse click with Ctrl held, the window brought to the front)"},
    {"command", "ID", 1, 1, "", "", false, "posts WM_COMMAND ID to the current window (a menu command)"},
    {"set-text", "CONTROL TEXT", 2, 2, "", "", false, "replaces the control's text (WM_SETTEXT)"},
    {"type", "CONTROL TEXT", 2, 2, "", "", false, "types TEXT into the control, one character at a time"},
    {"key", "KEY [CONTROL]", 1, 2, "", "", false,
     "presses KEY (Esc, Enter, Tab, Space, arrows, F1-F12, a letter...) in CONTROL or the focused control"},
    {"close", "", 0, 0, "", "", false, "the current window's close box"},
    {"activate", "", 0, 0, "", "", false, "brings the current window to the front"},
    {"console", "", 0, 0, "", "", false, "the target's console, one line per row"},
    {"wait-console", "PATTERN [--timeout MS]", 1, 1, "--timeout", "", false,
     "waits until a row of the target's console matches"},
    {"console-type", "TEXT", 1, 1, "", "", false, "types TEXT into the target's console (\\n is Enter)"},
    {"timeout", "MS", 1, 1, "", "", false, "the default timeout of the waiting commands (10000 at start)"},
    {"echo", "[TEXT...]", 0, any_count, "", "", false, "replies with TEXT"},
    {"quit", "", 0, 0, "", "", false, "ends the driver"},
};

bool listed(const char* list, const std::string& word) {
  std::istringstream in(list);
  std::string item;
  while (in >> item)
    if (item == word) return true;
  return false;
}

int digit_value(char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

const std::vector<command_form>& command_forms() { return forms; }

const command_form* find_command_form(const std::string& name) {
  for (const command_form& form : forms)
    if (name == form.name) return &form;
  return nullptr;
}

bool parse_command(const std::vector<std::string>& words, command& out, std::string& error) {
  out = command{};
  if (words.empty()) {
    error = "empty command";
    return false;
  }
  const command_form* form = find_command_form(words[0]);
  if (!form) {
    error = "unknown command \"" + words[0] + "\"";
    return false;
  }
  out.name = form->name;
  const std::string usage = std::string("usage: ") + form->name + (*form->usage ? " " : "") + form->usage;
  bool options_done = false;
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    const bool option = !options_done && word.size() > 2 && word.compare(0, 2, "--") == 0;
    if (!option) {
      if (word == "--" && !options_done) {
        options_done = true;
        continue;
      }
      out.args.push_back(word);
      if (form->options_before_args_only) options_done = true;
      continue;
    }
    if (out.options.count(word)) {
      error = word + " given twice; " + usage;
      return false;
    }
    if (listed(form->flag_options, word)) {
      out.options[word] = "";
    } else if (listed(form->value_options, word)) {
      if (i + 1 == words.size()) {
        error = word + " needs a value; " + usage;
        return false;
      }
      out.options[word] = words[++i];
    } else {
      error = "unknown option " + word + "; " + usage;
      return false;
    }
  }
  if (out.args.size() < form->min_args || out.args.size() > form->max_args) {
    error = usage;
    return false;
  }
  return true;
}

bool parse_count(const std::string& text, uint32_t max, uint32_t& value) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const size_t start = hex ? 2 : 0;
  if (text.size() == start) return false;
  uint64_t v = 0;
  for (size_t i = start; i < text.size(); ++i) {
    const int d = digit_value(text[i], hex);
    if (d < 0) return false;
    v = v * (hex ? 16 : 10) + uint64_t(d);
    if (v > max) return false;
  }
  value = uint32_t(v);
  return true;
}

bool parse_control(const std::string& text, int& id, std::string& error) {
  if (text == ".") {
    id = window_itself;
    return true;
  }
  uint32_t value = 0;
  if (!parse_count(text, 0xFFFF, value)) {
    error = "\"" + text + "\" is not a control id (a number up to 65535, or \".\" for the window)";
    return false;
  }
  id = int(value);
  return true;
}

bool parse_exit_code(const std::string& text, uint32_t& code) {
  if (!text.empty() && text[0] == '-') {
    uint32_t magnitude = 0;
    if (!parse_count(text.substr(1), 0x80000000u, magnitude) || magnitude == 0) return false;
    code = uint32_t(0) - magnitude;
    return true;
  }
  return parse_count(text, 0xFFFFFFFFu, code);
}

std::string driver_help_text() {
  std::string text =
      "usage: ui-driver run SCRIPT    run the commands of SCRIPT, stop at the first failure\n"
      "       ui-driver run -         read commands from standard input, answer each one\n"
      "       ui-driver --help\n"
      "\n"
      "One command per line; blanks separate words, \"double quotes\" keep blanks and read \\\" \\\\ \\n \\r \\t,\n"
      "'single quotes' keep everything as it stands (Windows paths); a line starting with # is a comment.\n"
      "Every command answers with its data lines, each starting with \"| \" (texts show \\\\ \\r \\n \\t\n"
      "escaped), then one line: \"ok\" or \"error: WHAT\".\n"
      "PATTERN matches a whole text; * is any run of characters and ? one character.\n"
      "CONTROL is a control id (decimal or 0x hex) of the current window, or \".\" for the window itself.\n"
      "Every waiting command gives up after its timeout (see \"timeout\") and says what it saw last.\n"
      "Exit codes: 0 every command succeeded, 1 a command failed, 2 the script has errors (nothing ran),\n"
      "3 the script cannot be read. A target the driver started and that still runs at the end is ended.\n"
      "\n"
      "Commands:\n";
  for (const command_form& form : forms) {
    std::string head = std::string("  ") + form.name + (*form.usage ? " " : "") + form.usage;
    text += head + "\n      " + form.help + "\n";
  }
  return text;
}
