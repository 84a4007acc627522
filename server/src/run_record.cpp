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

}  // namespace

std::string encode_run(const report_run& run) {
  std::string out;
  auto line = [&out](const char* name, std::string_view value) { out += std::string(name) + "\t" + escaped(value) + "\n"; };
  line("machine", run.machine);
  line("type", run.device.type);
  line("vendor", run.device.vendor);
  line("model", run.device.model);
  line("bus", run.device.bus);
  line("usb", run.device.usb);
  line("controller", run.controller);
  line("file_system", run.file_system);
  line("volume_type", run.volume_type);
  line("share_protocol", run.share_protocol);
  line("remote", run.remote ? "1" : "0");
  line("os_name", run.os_name);
  line("os_bits", std::to_string(run.os_bits));
  line("synthetic", run.synthetic ? "1" : "0");
  line("file_size", std::to_string(run.file_size));
  line("memory_cap", std::to_string(run.memory_cap));
  line("buffer_sizes", join(run.buffer_sizes));
  line("buffer_counts", join(run.buffer_counts));
  for (auto [name, value] : {std::pair{"duration", run.duration}, {"order", run.order}, {"cache_trim", run.cache_trim},
                             {"read_modes", run.read_modes}, {"write_modes", run.write_modes}})
    line(name, std::to_string(value));
  for (direction which : {direction::read, direction::write})
    for (const measured_strategy& test : run.tests(which))
      line(which == direction::read ? "read" : "write", std::to_string(test.what.size) + " " +
                                                          std::to_string(test.what.count) + " " +
                                                          std::to_string(test.what.mode) + " " + std::to_string(test.rate));
  return out;
}

std::optional<report_run> decode_run(std::string_view text) {
  report_run run;
  std::string flag_remote, flag_synthetic;
  std::map<std::string_view, std::function<bool(const std::string&)>> fields;
  auto text_field = [&](const char* name, std::string& target) {
    fields[name] = [&target](const std::string& value) { return target = value, true; };
  };
  text_field("machine", run.machine);
  text_field("type", run.device.type);
  text_field("vendor", run.device.vendor);
  text_field("model", run.device.model);
  text_field("bus", run.device.bus);
  text_field("usb", run.device.usb);
  text_field("controller", run.controller);
  text_field("file_system", run.file_system);
  text_field("volume_type", run.volume_type);
  text_field("share_protocol", run.share_protocol);
  text_field("remote", flag_remote);
  text_field("os_name", run.os_name);
  text_field("synthetic", flag_synthetic);
  fields["os_bits"] = [&](const std::string& value) { return parse(value, run.os_bits); };
  fields["file_size"] = [&](const std::string& value) { return parse(value, run.file_size); };
  fields["memory_cap"] = [&](const std::string& value) { return parse(value, run.memory_cap); };
  fields["buffer_sizes"] = [&](const std::string& value) { return split_numbers(value, run.buffer_sizes); };
  fields["buffer_counts"] = [&](const std::string& value) { return split_numbers(value, run.buffer_counts); };
  for (auto [name, target] : {std::pair{"duration", &run.duration}, {"order", &run.order},
                              {"cache_trim", &run.cache_trim}, {"read_modes", &run.read_modes},
                              {"write_modes", &run.write_modes}})
    fields[name] = [target](const std::string& value) { return parse(value, *target); };
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
