#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One parsed script command: its name, positional arguments and --options.
struct command {
  std::string name;
  std::vector<std::string> args;
  std::map<std::string, std::string> options;  // flags map to ""
  bool has(const std::string& option) const { return options.count(option) != 0; }
};

// What a command accepts. Options are --words; those listed in value_options take the next word.
struct command_form {
  const char* name;
  const char* usage;  // arguments and options, for messages and --help
  size_t min_args;
  size_t max_args;            // any_count: no upper limit
  const char* value_options;  // blank-separated, e.g. "--title --class --timeout"
  const char* flag_options;
  bool options_before_args_only;  // arguments after the first one belong to a program
  const char* help;
};
constexpr size_t any_count = size_t(-1);

const std::vector<command_form>& command_forms();
const command_form* find_command_form(const std::string& name);

// Checks the words of one line against the command table; `error` says what is wrong.
bool parse_command(const std::vector<std::string>& words, command& out, std::string& error);

// A control: "." is the window itself (id -1), otherwise a decimal or 0x hex id up to 0xFFFF.
constexpr int window_itself = -1;
bool parse_control(const std::string& text, int& id, std::string& error);
// A whole number without sign, decimal or 0x hex, at most `max`.
bool parse_count(const std::string& text, uint32_t max, uint32_t& value);
// A process exit code: decimal (negative allowed, as Windows codes above 2^31 print) or 0x hex.
bool parse_exit_code(const std::string& text, uint32_t& code);

// The --help text: usage and every command.
std::string driver_help_text();
