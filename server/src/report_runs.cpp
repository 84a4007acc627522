#include "report_runs.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

namespace {

constexpr std::string_view separator = "\r\n-------\r\n\r\n";
constexpr std::string_view box_edge = "+----------------------------------+";
constexpr std::string_view box_title = "|     FOLVI Benchmark, ";
constexpr std::string_view read_heading = "--- Read measurements ---";
constexpr std::string_view write_heading = "--- Write measurements ---";
// Bounds of what a benchmark can report; beyond them a value is taken as hostile.
constexpr uint64_t largest_rate_tenths = 10000000;  // 1,000,000.0 MBps
constexpr uint64_t largest_buffer = 0xFFFFFFFFu;
constexpr uint32_t largest_count = 4096;
constexpr size_t longest_list = 64;

// A skip carries its reason up through the parse.
struct skip {
  const char* reason;
};

std::string_view rtrim(std::string_view text) {
  size_t end = text.find_last_not_of(" \r");
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

bool is_blank(std::string_view line) { return rtrim(line).empty(); }

std::optional<uint64_t> parse_number(std::string_view text, uint64_t largest) {
  if (text.empty() || text.size() > 20) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (largest - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

uint64_t number_or_skip(std::string_view text, uint64_t largest = UINT64_MAX) {
  auto value = parse_number(text, largest);
  if (!value) throw skip{skip_bad_value};
  return *value;
}

// "123.4" (one decimal, as the report prints rates) into tenths.
uint64_t tenths_or_skip(std::string_view text) {
  size_t dot = text.find('.');
  if (dot == std::string_view::npos || dot + 2 != text.size()) throw skip{skip_bad_value};
  uint64_t whole = number_or_skip(text.substr(0, dot), largest_rate_tenths / 10);
  uint64_t tenth = number_or_skip(text.substr(dot + 1), 9);
  return whole * 10 + tenth;
}

// "560.1 MBps" into tenths.
uint64_t speed_or_skip(std::string_view text) {
  if (text.size() < 5 || text.substr(text.size() - 5) != " MBps") throw skip{skip_bad_value};
  return tenths_or_skip(text.substr(0, text.size() - 5));
}

std::vector<std::string_view> split(std::string_view text, std::string_view by) {
  std::vector<std::string_view> parts;
  for (size_t at = 0;;) {
    size_t next = text.find(by, at);
    parts.push_back(text.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at));
    if (next == std::string_view::npos) return parts;
    at = next + by.size();
  }
}

// "8192 65536 " (each value followed by a space).
std::vector<uint64_t> list_or_skip(std::string_view text, uint64_t largest) {
  std::vector<uint64_t> values;
  if (text.empty()) return values;
  if (text.back() != ' ') throw skip{skip_bad_value};
  for (std::string_view item : split(text.substr(0, text.size() - 1), " ")) {
    uint64_t value = number_or_skip(item, largest);
    if (value == 0 || values.size() == longest_list) throw skip{skip_bad_value};
    values.push_back(value);
  }
  return values;
}

int mode_index_or_skip(std::string_view label) {
  for (int i = 0; i < 6; ++i)
    if (label == mode_labels[i]) return i;
  throw skip{skip_bad_value};
}

// The mask's bit order ("raw" first) against the display order ("buf" first).
int mode_of_bit(int bit) { return (bit + 3) % 6; }

struct row {
  uint64_t number;
  measured_strategy test;
  uint64_t binary_tenths, decimal_tenths;
};

// " %3u  |  %2u x %9u  |  %s  |  %9.1lf MBps  %9.1lf MBps  |  %c %c %c"
row row_or_skip(std::string_view line) {
  std::vector<std::string_view> fields = split(rtrim(line), "|");
  if (fields.size() != 5) throw skip{skip_not_a_report};
  auto trim = [](std::string_view text) {
    size_t begin = text.find_first_not_of(' ');
    return begin == std::string_view::npos ? std::string_view() : rtrim(text.substr(begin));
  };
  row parsed{};
  parsed.number = number_or_skip(trim(fields[0]), 100000);
  std::vector<std::string_view> io = split(trim(fields[1]), " x ");
  if (io.size() != 2) throw skip{skip_bad_value};
  parsed.test.what.count = static_cast<uint32_t>(number_or_skip(trim(io[0]), largest_count));
  parsed.test.what.size = number_or_skip(trim(io[1]), largest_buffer);
  parsed.test.what.mode = static_cast<uint8_t>(mode_index_or_skip(trim(fields[2])));
  std::string_view rates = trim(fields[3]);
  size_t first_end = rates.find(" MBps");
  if (first_end == std::string_view::npos) throw skip{skip_bad_value};
  parsed.binary_tenths = speed_or_skip(rates.substr(0, first_end + 5));
  parsed.decimal_tenths = speed_or_skip(trim(rates.substr(first_end + 5)));
  parsed.test.rate = parsed.decimal_tenths * 100000;
  return parsed;
}

// The two prints of one rate agree: binary x 1.048576 is decimal, within their rounding.
bool units_agree(uint64_t binary_tenths, uint64_t decimal_tenths) {
  double expected = static_cast<double>(binary_tenths) * 1.048576;
  double difference = static_cast<double>(decimal_tenths) - expected;
  return difference <= 1.1 && difference >= -1.1;
}

struct report_text {
  std::map<std::string_view, std::string_view> values;
  std::vector<std::string_view> read_rows, write_rows;

  std::string_view get(std::string_view key) const {
    auto found = values.find(key);
    if (found == values.end()) throw skip{skip_cut_short};
    return found->second;
  }
  std::string optional(std::string_view key) const {
    auto found = values.find(key);
    return found == values.end() ? std::string() : std::string(found->second);
  }
};

// The report's layout: the header box, key/value lines, then the two measurement sections
// and the closing blank line.
report_text split_report(std::string_view text) {
  std::vector<std::string_view> lines = split(text, "\n");
  if (lines.size() < 5 || rtrim(lines[0]) != box_edge || lines[2].substr(0, box_title.size()) != box_title)
    throw skip{skip_not_a_report};
  if (!lines.back().empty() || lines.size() < 2 || !is_blank(lines[lines.size() - 2])) throw skip{skip_cut_short};
  lines.pop_back();
  report_text report;
  size_t at = 5;
  for (; at < lines.size() && rtrim(lines[at]) != read_heading; ++at) {
    std::string_view line = lines[at];
    if (is_blank(line)) continue;
    if (line.size() < 32 || line.substr(30, 2) != "  ") throw skip{skip_not_a_report};
    std::string_view key = rtrim(line.substr(0, 30));
    if (key.empty() || key.find(' ') != std::string_view::npos) throw skip{skip_not_a_report};
    std::string_view value = line.substr(32);
    if (!value.empty() && value.back() == '\r') value.remove_suffix(1);
    if (!report.values.emplace(key, value).second) throw skip{skip_bad_value};
  }
  auto section = [&](std::vector<std::string_view>& rows) {
    if (at + 1 >= lines.size() || !is_blank(lines[at + 1])) throw skip{skip_cut_short};
    for (at += 2; at < lines.size() && !is_blank(lines[at]); ++at) rows.push_back(lines[at]);
    if (at >= lines.size()) throw skip{skip_cut_short};
  };
  if (at == lines.size()) throw skip{skip_cut_short};
  section(report.read_rows);
  if (++at >= lines.size() || rtrim(lines[at]) != write_heading) throw skip{skip_cut_short};
  section(report.write_rows);
  if (at + 1 != lines.size()) throw skip{skip_not_a_report};
  return report;
}

bool is_machine_digest(std::string_view text) {
  if (text == "-") return true;
  return text.size() == 32 && text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

void read_platform(std::string_view platform, report_run& run) {
  size_t first = platform.find(" / "), last = platform.rfind(" / ");
  if (first == std::string_view::npos || first == last) throw skip{skip_bad_value};
  std::string_view bits = platform.substr(last + 3);
  if (bits != "64 bit" && bits != "32 bit") throw skip{skip_bad_value};
  run.os_name = std::string(platform.substr(0, first));
  run.os_bits = bits == "64 bit" ? 64 : 32;
  run.synthetic = run.os_name == "Synthetic";
}

uint32_t mask_or_skip(std::string_view text) {
  if (text.size() != 4 || text.substr(0, 2) != "0x" ||
      text.find_first_not_of("0123456789abcdef", 2) != std::string_view::npos)
    throw skip{skip_bad_value};
  uint32_t mask = static_cast<uint32_t>(std::stoul(std::string(text.substr(2)), nullptr, 16));
  if (mask > 0x3f) throw skip{skip_bad_value};
  return mask;
}

void read_profile(const report_text& report, report_run& run) {
  run.file_size = number_or_skip(report.get("Test.file.size"));
  run.buffer_sizes = list_or_skip(report.get("Test.io.buffer_sizes"), largest_buffer);
  for (uint64_t count : list_or_skip(report.get("Test.io.buffer_counts"), largest_count))
    run.buffer_counts.push_back(static_cast<uint32_t>(count));
  run.memory_cap = number_or_skip(report.get("Test.io.memory_cap"));
  run.duration = static_cast<uint32_t>(number_or_skip(report.get("Test.duration"), UINT32_MAX));
  run.order = static_cast<uint32_t>(number_or_skip(report.get("Test.order"), UINT32_MAX));
  run.cache_trim = static_cast<uint32_t>(number_or_skip(report.get("Test.cache_trim"), UINT32_MAX));
  run.read_modes = mask_or_skip(report.get("Test.read.modes"));
  run.write_modes = mask_or_skip(report.get("Test.write.modes"));
}

// The strategies a profile plans for one mode mask.
std::set<strategy> planned(const report_run& run, uint32_t modes) {
  std::set<strategy> plan;
  for (uint64_t size : run.buffer_sizes)
    for (uint32_t count : run.buffer_counts)
      if (run.memory_cap == 0 || size * count <= run.memory_cap)
        for (int bit = 0; bit < 6; ++bit)
          if (modes & (1u << bit)) plan.insert({size, count, static_cast<uint8_t>(mode_of_bit(bit))});
  return plan;
}

// One direction: its rows, checked against its summary lines and the profile.
std::vector<measured_strategy> read_direction(const report_text& report, const std::string& prefix,
                                              const std::vector<std::string_view>& lines,
                                              const std::set<strategy>& plan) {
  std::vector<std::string_view> tests = split(report.get(prefix + ".tests"), " / ");
  if (tests.size() != 2) throw skip{skip_bad_value};
  uint64_t recorded = number_or_skip(tests[0], 1000000), planned_count = number_or_skip(tests[1], 1000000);
  std::string_view failed_text = report.get(prefix + ".tests.failed");
  uint64_t failed = failed_text == "-" ? 0 : number_or_skip(failed_text, 1000000);
  if (failed_text == "0") throw skip{skip_bad_value};  // none failed is written "-"
  uint64_t best = speed_or_skip(report.get(prefix + ".best.speed.decimal"));

  std::vector<measured_strategy> measured;
  std::set<strategy> seen;
  uint64_t zero_rows = 0, fastest = 0;
  for (std::string_view line : lines) {
    row parsed = row_or_skip(line);
    if (!units_agree(parsed.binary_tenths, parsed.decimal_tenths)) throw skip{skip_rows_disagree};
    if (parsed.number != measured.size() + 1 || !plan.count(parsed.test.what) || !seen.insert(parsed.test.what).second)
      throw skip{skip_rows_disagree};
    if (parsed.decimal_tenths == 0) ++zero_rows;
    fastest = std::max(fastest, parsed.decimal_tenths);
    measured.push_back(parsed.test);
  }
  if (recorded != measured.size() || planned_count != plan.size() || failed != zero_rows || best != fastest)
    throw skip{skip_rows_disagree};
  return measured;
}

report_run read_run(const report_text& report) {
  report_run run;
  std::string_view machine = report.get("MD5(MachineGuid)");
  if (!is_machine_digest(machine)) throw skip{skip_bad_value};
  run.machine = std::string(machine);
  read_platform(report.get("Platform"), run);
  run.device = {report.optional("Device.type"), report.optional("Device.vendor"), report.optional("Device.model"),
                report.optional("Device.bus"), report.optional("Device.usb")};
  run.controller = report.optional("Device.controller");
  run.file_system = report.optional("Volume.file_system");
  run.volume_type = report.optional("Volume.type");
  run.share_protocol = report.optional("Share.protocol");
  std::string_view remote = report.get("Test.remote");
  if (remote != "Yes" && remote != "No") throw skip{skip_bad_value};
  run.remote = remote == "Yes";
  read_profile(report, run);
  run.reads = read_direction(report, "Read", report.read_rows, planned(run, run.read_modes));
  run.writes = read_direction(report, "Write", report.write_rows, planned(run, run.write_modes));
  return run;
}

}  // namespace

parsed_report parse_report(std::string_view text) {
  parsed_report parsed;
  try {
    parsed.run = read_run(split_report(text));
  } catch (const skip& skipped) {
    parsed.skipped = skipped.reason;
    parsed.run = {};
  }
  return parsed;
}

std::vector<parsed_report> parse_share_reports(std::string_view text) {
  std::vector<parsed_report> reports;
  // The separator begins with a line break of its own: each report keeps its last one.
  for (std::string_view report : split(text, separator)) reports.push_back(parse_report(report));
  return reports;
}
