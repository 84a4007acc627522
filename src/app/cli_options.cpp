#include "app/cli_options.h"

#include "bench/profile_limits.h"
#include "bench/profile_text.h"
#include "support/format_string.h"
#include "support/text.h"

const char cli_usage[] =
    "usage: folvi-cli [options] LOCATION\n"
    "       folvi-cli --scan [--record FILE | --replay FILE] [LOCATION]\n"
    "       folvi-cli --smart KIND:FILE...   (KIND identify, smart, thresholds, nvme-identify, nvme-health)\n"
    "       folvi-cli --compare A B   (two saved reports, or two --json documents)\n"
    "       folvi-cli --predict [--replay FILE] [LOCATION]\n"
    "Runs the cold-cache benchmark in the folder LOCATION and prints the report.\n"
    "\n"
    "  --profile quick|standard|extended   starting profile (default standard)\n"
    "  --sizes LIST          buffer sizes, e.g. \"8K,64K,1M\"\n"
    "  --counts LIST         buffer counts, e.g. \"1 4 16\" (at most 1024)\n"
    "  --memory-cap SIZE     largest size x count (0 = no cap; one test has at most 1G)\n"
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
    "  --repeat N            run every combination N times (1 to 100, default 1); the report\n"
    "                        carries each one's median, the console, CSV and JSON also its spread\n"
    "  --report FILE         write the report to FILE (UTF-8 with byte-order mark)\n"
    "  --csv FILE            write one row per combination to FILE (rates and request latencies)\n"
    "  --json FILE           write the profile, storage facts, every test and the best to FILE\n"
    "  --scan                scan the storage stack, print its log and what lies under LOCATION\n"
    "  --record FILE         with --scan: write every request of the scan and its answer to FILE\n"
    "  --replay FILE         with --scan or --predict: answer the scan from a recording instead of\n"
    "                        this machine\n"
    "  --compare A B         compare two saved reports: rates per combination and B / A; of two\n"
    "                        --json documents also each combination's p99\n"
    "  --predict             ask the share server which strategy suits the device under LOCATION\n"
    "                        (without one: any device) and print its recommendation for reads\n"
    "                        and writes\n"
    "  --help                this text\n"
    "\n"
    "Exit codes: 0 completed, 1 cancelled, 2 bad arguments (or unusable location, output file or\n"
    "report), 3 the run failed or a result could not be written (--predict: the server has no\n"
    "recommendation or cannot be reached), 4 completed but some tests failed.\n";

static_assert(most_buffers == 1024 && most_buffer_memory == 1ull << 30, "the usage text names the limits");

namespace {
constexpr uint32_t most_repeats = 100;

bool parse_mask(const std::string& text, uint32_t& mask) {
  uint32_t value = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    for (size_t i = 2; i < text.size(); ++i) {
      const char c = text[i];
      int d = (c >= '0' && c <= '9')   ? c - '0'
              : (c >= 'a' && c <= 'f') ? c - 'a' + 10
              : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                       : -1;
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

// `why` completes "--option: "value" ...".
bool judged(parse_result r, std::string& why, const char* wanted, const char* largest) {
  if (r == parse_result::ok) return true;
  why =
      r == parse_result::too_large ? std::string("is too large, at most ") + largest : std::string("is not ") + wanted;
  return false;
}

bool file_name(const std::string& v, std::wstring& path, std::string& why) {
  if (v.empty()) return why = "is not a file name", false;
  path = from_utf8(v);
  return true;
}

bool no_zero_in(const std::vector<uint64_t>& sizes) {
  for (uint64_t s : sizes)
    if (s == 0) return false;
  return true;
}

using apply_fn = bool (*)(const std::string& value, cli_options& o, std::string& why);

// The starting profile is applied first, whatever the order of the arguments, so that the
// profile fields land on top of it; a changed field makes the profile "Custom".
enum option_kind { preset, field, other };

// One row per option.
struct option_row {
  const char* name;
  bool takes_value;
  option_kind kind;
  apply_fn apply;
};

const option_row option_rows[] = {
    {"--profile", true, preset,
     [](const std::string& v, cli_options& o, std::string& why) {
       uint32_t preset;
       if (!pick(v, {"quick", "standard", "extended"}, preset))
         return why = "is not quick, standard or extended", false;
       o.profile.reset(int(preset) - 1);
       return true;
     }},
    {"--sizes", true, field,
     [](const std::string& v, cli_options& o, std::string& why) {
       std::vector<uint64_t>& sizes = o.profile.buffer_sizes;
       o.sizes_given = true;
       const parse_result r = read_size_list(v, sizes);
       if (r == parse_result::malformed) return why = "is not a list of sizes such as \"8K,64K,1M\"", false;
       if (r == parse_result::too_large) return why = "is not a list of sizes each below 4G", false;
       for (uint64_t s : sizes)
         if (s >= (1ull << 32)) return why = "is not a list of sizes each below 4G", false;
       return no_zero_in(sizes) || (why = "is not a list of sizes each above 0", false);
     }},
    {"--counts", true, field,
     [](const std::string& v, cli_options& o, std::string& why) {
       std::vector<uint32_t>& counts = o.profile.buffer_counts;
       const std::string most = format_string("%u each (buffers in flight)", unsigned(most_buffers));
       if (!judged(read_number_list(v, counts), why, "a list of numbers such as \"1 4 16\"", most.c_str()))
         return false;
       for (uint32_t c : counts) {
         if (c == 0) return why = "is not a list of numbers each above 0", false;
         if (c > most_buffers) return why = "is too large, at most " + most, false;
       }
       return true;
     }},
    {"--memory-cap", true, field,
     [](const std::string& v, cli_options& o, std::string& why) {
       return judged(read_size(v, o.profile.memory_cap), why, "a size such as \"64M\"", "18446744073709551615 bytes");
     }},
    {"--duration", true, field,
     [](const std::string& v, cli_options& o, std::string& why) {
       return judged(read_duration(v, o.profile.duration), why,
                     "a duration with a unit, such as \"250 ms\" or \"1 sec\"", "4294967295 ms");
     }},
    {"--file-size", true, field,
     [](const std::string& v, cli_options& o, std::string& why) {
       if (!judged(read_size(v, o.profile.file_size), why, "a size above 0 such as \"4G\"",
                   "18446744073709551615 bytes"))
         return false;
       return o.profile.file_size != 0 || (why = "is not a size above 0 such as \"4G\"", false);
     }},
    {"--init-factor", true, field,
     [](const std::string& v, cli_options& o, std::string& why) {
       return judged(read_number(v, o.profile.init_time_factor), why, "a whole number", "4294967295");
     }},
    {"--fill", true, field,
     [](const std::string& v, cli_options& o, std::string& why) {
       return pick(v, {"zeroes", "plus_1", "random"}, o.profile.fill) ||
              (why = "is not zeroes, plus_1 or random", false);
     }},
    {"--order", true, field,
     [](const std::string& v, cli_options& o, std::string& why) {
       return pick(v, {"random", "modes", "sizes"}, o.profile.order) || (why = "is not random, modes or sizes", false);
     }},
    {"--cache", true, field,
     [](const std::string& v, cli_options& o, std::string& why) {
       return pick(v, {"leave", "local", "always"}, o.profile.cache_trim) ||
              (why = "is not leave, local or always", false);
     }},
    {"--read-modes", true, field,
     [](const std::string& v, cli_options& o, std::string& why) {
       return parse_mask(v, o.profile.read_modes) || (why = "is not a mode mask from 0 to 0x3f", false);
     }},
    {"--write-modes", true, field,
     [](const std::string& v, cli_options& o, std::string& why) {
       return parse_mask(v, o.profile.write_modes) || (why = "is not a mode mask from 0 to 0x3f", false);
     }},
    {"--flush", false, field, [](const std::string&, cli_options& o, std::string&) { return o.profile.flush = true; }},
    {"--random", false, field,
     [](const std::string&, cli_options& o, std::string&) {
       o.profile.sequential = false;
       return true;
     }},
    {"--repeat", true, other,
     [](const std::string& v, cli_options& o, std::string& why) {
       uint32_t n = 0;
       if (read_number(v, n) != parse_result::ok || n == 0 || n > most_repeats)
         return why = format_string("is not a whole number from 1 to %u", unsigned(most_repeats)), false;
       o.repeat = n;
       return true;
     }},
    {"--report", true, other,
     [](const std::string& v, cli_options& o, std::string& why) { return file_name(v, o.report_path, why); }},
    {"--csv", true, other,
     [](const std::string& v, cli_options& o, std::string& why) { return file_name(v, o.csv_path, why); }},
    {"--json", true, other,
     [](const std::string& v, cli_options& o, std::string& why) { return file_name(v, o.json_path, why); }},
    {"--record", true, other,
     [](const std::string& v, cli_options& o, std::string& why) { return file_name(v, o.record_path, why); }},
    {"--replay", true, other,
     [](const std::string& v, cli_options& o, std::string& why) { return file_name(v, o.replay_path, why); }},
    {"--scan", false, other, [](const std::string&, cli_options& o, std::string&) { return o.scan = true; }},
    {"--compare", false, other, [](const std::string&, cli_options& o, std::string&) { return o.compare = true; }},
    {"--predict", false, other, [](const std::string&, cli_options& o, std::string&) { return o.predict = true; }},
    {"--help", false, other, [](const std::string&, cli_options& o, std::string&) { return o.help = true; }},
};

const option_row* find_option(const std::string& name) {
  for (const option_row& row : option_rows)
    if (name == row.name) return &row;
  return nullptr;
}

struct given_option {
  const option_row* row;
  std::string value;
};

// "-x" and "--x" are options; after "--" every argument is a location.
bool split_arguments(const std::vector<std::wstring>& args, std::vector<given_option>& given,
                     std::vector<std::wstring>& locations, std::string& error) {
  bool options_end = false;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = to_utf8(args[i]);
    if (options_end || arg.size() < 2 || arg[0] != '-') {
      locations.push_back(args[i]);
      continue;
    }
    if (arg == "--") {
      options_end = true;
      continue;
    }
    std::string value;
    const size_t eq = arg.find('=');
    const bool has_value = eq != std::string::npos && arg.compare(0, 2, "--") == 0;
    if (has_value) {
      value = arg.substr(eq + 1);
      arg.resize(eq);
    }
    const option_row* row = find_option(arg);
    if (!row) return error = arg + ": unknown option", false;
    if (row->takes_value && !has_value) {
      if (i + 1 >= args.size()) return error = arg + ": a value is missing", false;
      value = to_utf8(args[++i]);
    } else if (!row->takes_value && has_value) {
      return error = arg + ": takes no value", false;
    }
    given.push_back({row, value});
  }
  return true;
}

// The pair of size and count with the smallest product: what the cap must at least admit.
std::string smallest_combination(const test_def& d) {
  uint64_t best_size = d.buffer_sizes.front();
  uint32_t best_count = d.buffer_counts.front();
  for (uint64_t s : d.buffer_sizes)
    for (uint32_t c : d.buffer_counts)
      if (s * c < best_size * best_count) best_size = s, best_count = c;
  return format_size(best_size) + format_string(" x %u", unsigned(best_count));
}

// The buffers of the largest combination must fit what one test can have.
bool check_buffer_memory(const test_def& d, std::string& error) {
  const buffer_pair p = largest_buffer_pair(d);
  if (p.bytes() <= most_buffer_memory) return true;
  const std::string cap = d.memory_cap ? format_size(d.memory_cap) : "0 (no cap)";
  return error = "--memory-cap: " + cap + " admits " + format_size(p.size) + format_string(" x %u", unsigned(p.count)) +
                 " = " + format_size(p.bytes()) + " of buffers, more than the " + format_size(most_buffer_memory) +
                 " one test may have",
         false;
}

bool check_selection(const test_def& d, std::string& error) {
  if (!check_buffer_memory(d, error)) return false;
  if (d.read_tests + d.write_tests != 0) return true;
  if (d.combo_count == 0 && d.memory_cap != 0 && !d.buffer_sizes.empty() && !d.buffer_counts.empty())
    return error = "--memory-cap: " + format_size(d.memory_cap) + " admits no buffer size x count (the smallest is " +
                   smallest_combination(d) + ")",
           false;
  return error = "--read-modes/--write-modes: no tests selected", false;
}

bool check_locations(cli_options& o, const std::vector<std::wstring>& locations, std::string& error) {
  for (const std::wstring& l : locations)
    if (l.empty()) return error = "LOCATION: missing", false;
  if (o.compare) {
    if (locations.size() != 2) return error = "--compare: give two reports, A and B", false;
    o.compare_paths = locations;
    return true;
  }
  if (locations.size() > 1) return error = "LOCATION: give one folder only", false;
  if (locations.empty() && !o.scan && !o.predict) return error = "LOCATION: missing", false;
  if (!locations.empty()) o.profile.path = locations[0];
  return true;
}
bool only_predict_options(const std::vector<given_option>& given) {
  for (const given_option& g : given)
    if (std::string(g.row->name) != "--predict" && std::string(g.row->name) != "--replay") return false;
  return true;
}
}  // namespace

bool parse_cli_options(const std::vector<std::wstring>& args, cli_options& options, std::string& error) {
  options = cli_options{};
  options.profile.reset(1);
  std::vector<given_option> given;
  std::vector<std::wstring> locations;
  if (!split_arguments(args, given, locations, error)) return false;
  for (bool preset_pass : {true, false}) {
    for (const given_option& g : given) {
      if ((g.row->kind == preset) != preset_pass) continue;
      std::string why;
      if (!g.row->apply(g.value, options, why))
        return error = std::string(g.row->name) + ": \"" + g.value + "\" " + why, false;
      if (g.row->kind == field) options.profile.name = L"Custom";
    }
  }
  if (options.help) return true;
  if (options.compare && given.size() != 1) return error = "--compare: takes no other options", false;
  if (options.predict && !only_predict_options(given))
    return error = "--predict: takes no other options but --replay", false;
  options.profile.update_counts();
  if (!check_locations(options, locations, error)) return false;
  if (!options.scan && !options.record_path.empty()) return error = "--record: only with --scan", false;
  if (!options.scan && !options.predict && !options.replay_path.empty())
    return error = "--replay: only with --scan or --predict", false;
  if (options.predict && !options.replay_path.empty() && options.profile.path.empty())
    return error = "--replay: with --predict, give the LOCATION on the recorded machine", false;
  if (!options.record_path.empty() && !options.replay_path.empty())
    return error = "--record and --replay: give one of them", false;
  return options.scan || options.compare || options.predict || check_selection(options.profile, error);
}
