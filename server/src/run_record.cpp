#include "run_record.h"

#include "report_runs.h"

#include <charconv>
#include <functional>
#include <map>
#include <set>

namespace {

std::string escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::optional<std::string> unescaped(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    switch (text[i]) {
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      default: return std::nullopt;
    }
  }
  return out;
}

template <typename number>
bool parse(std::string_view text, number& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

template <typename number>
std::string join(const std::vector<number>& values) {
  std::string out;
  for (number value : values) out += (out.empty() ? "" : " ") + std::to_string(value);
  return out;
}

template <typename number>
bool split_numbers(std::string_view text, std::vector<number>& values) {
  values.clear();
  while (!text.empty()) {
    size_t space = text.find(' ');
    number value{};
    if (!parse(text.substr(0, space), value)) return false;
    values.push_back(value);
    text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
  }
  return true;
}

bool parse_test(std::string_view text, measured_strategy& test) {
  std::vector<uint64_t> fields;
  if (!split_numbers(text, fields) || fields.size() != 4 || fields[1] > UINT32_MAX || fields[2] > 5) return false;
  test = {{fields[0], static_cast<uint32_t>(fields[1]), static_cast<uint8_t>(fields[2])}, fields[3]};
  return true;
}

// The fields, by name, as encode_run writes them and decode_run reads them.
const std::pair<const char*, std::string report_run::*> run_texts[] = {{"machine", &report_run::machine},
                                                                       {"controller", &report_run::controller},
                                                                       {"file_system", &report_run::file_system},
                                                                       {"volume_type", &report_run::volume_type},
                                                                       {"share_protocol", &report_run::share_protocol},
                                                                       {"os_name", &report_run::os_name}};
const std::pair<const char*, std::string device_description::*> device_texts[] = {
    {"type", &device_description::type},
    {"vendor", &device_description::vendor},
    {"model", &device_description::model},
    {"bus", &device_description::bus},
    {"usb", &device_description::usb}};
const std::pair<const char*, uint32_t report_run::*> run_numbers[] = {{"duration", &report_run::duration},
                                                                      {"order", &report_run::order},
                                                                      {"cache_trim", &report_run::cache_trim},
                                                                      {"read_modes", &report_run::read_modes},
                                                                      {"write_modes", &report_run::write_modes}};

}  // namespace

std::string encode_run(const report_run& run) {
  std::string out;
  auto line = [&out](const char* name, std::string_view value) {
    out += std::string(name) + "\t" + escaped(value) + "\n";
  };
  for (auto [name, field] : run_texts) line(name, run.*field);
  for (auto [name, field] : device_texts) line(name, run.device.*field);
  for (auto [name, field] : run_numbers) line(name, std::to_string(run.*field));
  line("remote", run.remote ? "1" : "0");
  line("os_bits", std::to_string(run.os_bits));
  line("synthetic", run.synthetic ? "1" : "0");
  line("file_size", std::to_string(run.file_size));
  line("memory_cap", std::to_string(run.memory_cap));
  line("buffer_sizes", join(run.buffer_sizes));
  line("buffer_counts", join(run.buffer_counts));
  for (direction which : {direction::read, direction::write})
    for (const measured_strategy& test : run.tests(which))
      line(which == direction::read ? "read" : "write",
           std::to_string(test.what.size) + " " + std::to_string(test.what.count) + " " +
               std::to_string(test.what.mode) + " " + std::to_string(test.rate));
  return out;
}

std::optional<report_run> decode_run(std::string_view text) {
  report_run run;
  std::string flag_remote, flag_synthetic;
  std::map<std::string_view, std::function<bool(const std::string&)>> fields;
  for (auto [name, field] : run_texts)
    fields[name] = [&run, field](const std::string& value) { return run.*field = value, true; };
  for (auto [name, field] : device_texts)
    fields[name] = [&run, field](const std::string& value) { return run.device.*field = value, true; };
  for (auto [name, field] : run_numbers)
    fields[name] = [&run, field](const std::string& value) { return parse(value, run.*field); };
  fields["remote"] = [&](const std::string& value) { return flag_remote = value, true; };
  fields["synthetic"] = [&](const std::string& value) { return flag_synthetic = value, true; };
  fields["os_bits"] = [&](const std::string& value) { return parse(value, run.os_bits); };
  fields["file_size"] = [&](const std::string& value) { return parse(value, run.file_size); };
  fields["memory_cap"] = [&](const std::string& value) { return parse(value, run.memory_cap); };
  fields["buffer_sizes"] = [&](const std::string& value) { return split_numbers(value, run.buffer_sizes); };
  fields["buffer_counts"] = [&](const std::string& value) { return split_numbers(value, run.buffer_counts); };
  std::set<std::string_view> seen;
  while (!text.empty()) {
    size_t end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return std::nullopt;
    std::string_view name = line.substr(0, tab);
    auto value = unescaped(line.substr(tab + 1));
    if (!value) return std::nullopt;
    if (name == "read" || name == "write") {
      measured_strategy test;
      if (!parse_test(*value, test)) return std::nullopt;
      (name == "read" ? run.reads : run.writes).push_back(test);
      continue;
    }
    auto field = fields.find(name);
    if (field == fields.end() || !field->second(*value)) return std::nullopt;
    seen.insert(field->first);
  }
  if (seen.size() != fields.size() || (flag_remote != "0" && flag_remote != "1") ||
      (flag_synthetic != "0" && flag_synthetic != "1"))
    return std::nullopt;
  run.remote = flag_remote == "1";
  run.synthetic = flag_synthetic == "1";
  return run;
}

std::vector<run_row> run_rows_of_report(std::string_view report) {
  std::vector<run_row> rows;
  for (const parsed_report& parsed : parse_share_reports(report))
    rows.push_back({parsed.skipped, parsed.skipped.empty() ? encode_run(parsed.run) : std::string()});
  return rows;
}
