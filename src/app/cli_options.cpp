#include "app/cli_options.h"

#include <functional>
#include <map>

#include "bench/profile_text.h"
#include "support/text.h"

const char cli_usage[] =
    "usage: folvi-cli [options] LOCATION\n"
    "       folvi-cli --scan [LOCATION]\n"
    "       folvi-cli --smart KIND:FILE...   (KIND identify, smart, thresholds, nvme-identify, nvme-health)\n"
    "Runs the cold-cache benchmark in the folder LOCATION and prints the report.\n"
    "\n"
    "  --profile quick|standard|extended   starting profile (default standard)\n"
    "  --sizes LIST          buffer sizes, e.g. \"8K,64K,1M\"\n"
    "  --counts LIST         buffer counts, e.g. \"1 4 16\"\n"
    "  --memory-cap SIZE     largest size x count (0 = no cap)\n"
    "  --duration DURATION   longest single test, e.g. \"250 ms\", \"1 sec\"\n"
    "  --file-size SIZE      largest test file, e.g. \"4G\"\n"
    "  --init-factor N       time for the test file, in single test times (0 = no limit)\n"
    "  --fill zeroes|plus_1|random      data written\n"
    "  --order random|modes|sizes       test order\n"
    "  --cache leave|local|always       purge the file cache before each test\n"
    "  --read-modes MASK     read modes, bits: 1 raw, 2 raw seq, 4 raw rnd, 8 buf, 16 buf seq, 32 buf rnd\n"
    "  --write-modes MASK    write modes, same bits (0x.. or decimal)\n"
    "  --flush               flush write buffers on close\n"
    "  --random              random request offsets instead of sequential\n"
    "  --report FILE         write the report to FILE (UTF-8 with byte-order mark)\n"
    "  --csv FILE            write one row per test to FILE\n"
    "  --scan                scan the storage stack, print its log and what lies under LOCATION\n"
    "  --help                this text\n"
    "\n"
    "Exit codes: 0 completed, 1 cancelled, 2 bad arguments, 3 the run failed.\n";

namespace {
bool parse_mask(const std::string& text, uint32_t& mask) {
  uint32_t value = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    for (size_t i = 2; i < text.size(); ++i) {
      const char c = text[i];
      int d = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
      if (d < 0 || value > 0xFFFFFFF) return false;
      value = value << 4 | uint32_t(d);
    }
  } else if (!parse_number(text, value)) {
    return false;
  }
  if (value > 0x3F) return false;
  mask = value;
  return true;
}

bool pick(const std::string& text, std::initializer_list<const char*> words, uint32_t& value) {
  uint32_t n = 1;
  for (const char* w : words) {
    if (text == w) return value = n, true;
    ++n;
  }
  return false;
}

using setter = std::function<bool(const std::string&, test_def&, std::string&)>;

const std::map<std::string, setter>& value_options() {
  static const std::map<std::string, setter> options = {
      {"--sizes", [](const std::string& v, test_def& d, std::string& why) {
         if (!parse_size_list(v, d.buffer_sizes)) return why = "a list of sizes such as \"8K,64K,1M\"", false;
         for (uint64_t s : d.buffer_sizes)
           if (s >= (1ull << 32)) return why = "a list of sizes each below 4G", false;
         return true;
       }},
      {"--counts", [](const std::string& v, test_def& d, std::string& why) {
         return parse_number_list(v, d.buffer_counts) || (why = "a list of numbers such as \"1 4 16\"", false);
       }},
      {"--memory-cap", [](const std::string& v, test_def& d, std::string& why) {
         return parse_size(v, d.memory_cap) || (why = "a size such as \"64M\"", false);
       }},
      {"--duration", [](const std::string& v, test_def& d, std::string& why) {
         return parse_duration(v, d.duration) || (why = "a duration with a unit, such as \"250 ms\" or \"1 sec\"", false);
       }},
      {"--file-size", [](const std::string& v, test_def& d, std::string& why) {
         return (parse_size(v, d.file_size) && d.file_size != 0) || (why = "a size above 0 such as \"4G\"", false);
       }},
      {"--init-factor", [](const std::string& v, test_def& d, std::string& why) {
         return parse_number(v, d.init_time_factor) || (why = "a whole number", false);
       }},
      {"--fill", [](const std::string& v, test_def& d, std::string& why) {
         return pick(v, {"zeroes", "plus_1", "random"}, d.fill) || (why = "zeroes, plus_1 or random", false);
       }},
      {"--order", [](const std::string& v, test_def& d, std::string& why) {
         return pick(v, {"random", "modes", "sizes"}, d.order) || (why = "random, modes or sizes", false);
       }},
      {"--cache", [](const std::string& v, test_def& d, std::string& why) {
         return pick(v, {"leave", "local", "always"}, d.cache_trim) || (why = "leave, local or always", false);
       }},
      {"--read-modes", [](const std::string& v, test_def& d, std::string& why) {
         return parse_mask(v, d.read_modes) || (why = "a mode mask from 0 to 0x3f", false);
       }},
      {"--write-modes", [](const std::string& v, test_def& d, std::string& why) {
         return parse_mask(v, d.write_modes) || (why = "a mode mask from 0 to 0x3f", false);
       }},
  };
  return options;
}
}  // namespace

bool parse_cli_options(const std::vector<std::wstring>& args, cli_options& options, std::string& error) {
  options = cli_options{};
  options.profile.reset(1);
  std::vector<std::pair<std::string, std::string>> edits;
  std::vector<std::wstring> locations;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = to_utf8(args[i]);
    if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      locations.push_back(args[i]);
      continue;
    }
    std::string value;
    bool has_value = false;
    const size_t eq = arg.find('=');
    if (eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
      has_value = true;
    }
    const bool takes_value = value_options().count(arg) || arg == "--profile" || arg == "--report" || arg == "--csv";
    if (takes_value && !has_value) {
      if (i + 1 >= args.size()) return error = arg + ": a value is missing", false;
      value = to_utf8(args[++i]);
    } else if (!takes_value && has_value) {
      return error = arg + ": takes no value", false;
    }
    if (arg == "--help") options.help = true;
    else if (arg == "--scan") options.scan = true;
    else if (arg == "--flush") edits.emplace_back("--flush", "");
    else if (arg == "--random") edits.emplace_back("--random", "");
    else if (arg == "--report") options.report_path = from_utf8(value);
    else if (arg == "--csv") options.csv_path = from_utf8(value);
    else if (arg == "--profile") {
      uint32_t preset;
      if (!pick(value, {"quick", "standard", "extended"}, preset))
        return error = "--profile: \"" + value + "\" is not quick, standard or extended", false;
      options.profile.reset(int(preset) - 1);
    } else if (value_options().count(arg)) edits.emplace_back(arg, value);
    else return error = arg + ": unknown option", false;
  }
  if (options.help) return true;
  // The fields go on top of the chosen profile, whatever order they came in.
  for (const auto& edit : edits) {
    std::string why;
    test_def& d = options.profile;
    if (edit.first == "--flush") d.flush = true;
    else if (edit.first == "--random") d.sequential = false;
    else if (!value_options().at(edit.first)(edit.second, d, why))
      return error = edit.first + ": \"" + edit.second + "\" is not " + why, false;
    d.name = L"Custom";
  }
  options.profile.update_counts();
  if (locations.size() != 1 && !options.scan)
    return error = locations.empty() ? "LOCATION: missing" : "LOCATION: give one folder only", false;
  if (locations.size() > 1) return error = "LOCATION: give one folder only", false;
  if (!locations.empty()) options.profile.path = locations[0];
  if (!options.scan && options.profile.read_tests + options.profile.write_tests == 0)
    return error = "--read-modes/--write-modes: no tests selected", false;
  return true;
}
