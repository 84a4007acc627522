#include "app/cli_options.h"

#include <gtest/gtest.h>

#include <sstream>

#include "golden.h"
#include "support/text.h"

namespace {
std::vector<std::wstring> arguments(const std::string& line) {
  std::vector<std::wstring> args;
  if (line == "(none)") return args;
  std::istringstream in(line);
  for (std::string arg; std::getline(in, arg, '|');) {
    arg = arg.substr(arg.find_first_not_of(' '));
    arg.erase(arg.find_last_not_of(' ') + 1);
    args.push_back(arg == "''" ? L"" : from_utf8(arg));
  }
  return args;
}

template <typename T>
std::string listed(const std::vector<T>& values) {
  std::string text;
  for (const T& v : values) text += (text.empty() ? "" : ",") + std::to_string(v);
  return text;
}

std::string in_quotes(const std::wstring& text) { return "\"" + to_utf8(text) + "\""; }

// Every field the reader sets, or its error.
std::string outcome(const std::vector<std::wstring>& args) {
  cli_options o;
  std::string error;
  if (!parse_cli_options(args, o, error)) return "  error: " + error + "\n";
  const test_def& d = o.profile;
  std::ostringstream s;
  s << "  " << to_utf8(d.name) << " " << in_quotes(d.path) << " file " << d.file_size << " duration " << d.duration
    << " sizes " << listed(d.buffer_sizes) << " counts " << listed(d.buffer_counts) << " cap " << d.memory_cap
    << " fill " << d.fill << " order " << d.order << " cache " << d.cache_trim << " modes " << std::hex << d.read_modes
    << "/" << d.write_modes << std::dec << " flush " << d.flush << " sequential " << d.sequential << " tests "
    << d.combo_count << ":" << d.read_tests << "/" << d.write_tests << "\n  report " << in_quotes(o.report_path)
    << " csv " << in_quotes(o.csv_path) << " json " << in_quotes(o.json_path) << " repeat " << o.repeat << " record "
    << in_quotes(o.record_path) << " replay " << in_quotes(o.replay_path) << " compare";
  for (const std::wstring& p : o.compare_paths) s << " " << in_quotes(p);
  s << " sizes_given " << o.sizes_given << " help " << o.help << " scan " << o.scan << " compare " << o.compare
    << " predict " << o.predict << "\n";
  return s.str();
}
}  // namespace

// Each "$ " line of the table is read as arguments; the lines below it are what came of them.
TEST(cli_options, table_of_argument_lines) {
  std::istringstream in(test_data_text("app/cli_options.txt"));
  std::string text, line;
  while (std::getline(in, line)) {
    if (line.rfind("  ", 0) == 0) continue;
    text += line + "\n";
    if (line.rfind("$ ", 0) == 0) text += outcome(arguments(line.substr(2)));
  }
  ASSERT_FALSE(text.empty());
  expect_golden(text, "app/cli_options.txt");
}
