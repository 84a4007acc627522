#include "report_summary.h"

#include <map>

namespace {

std::string_view trim(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(" \t\r");
  return text.substr(begin, end - begin + 1);
}

}  // namespace

report_summary summarize_report(std::string_view report) {
  std::map<std::string_view, std::string_view> values;
  size_t at = 0;
  while (at < report.size()) {
    size_t end = report.find('\n', at);
    if (end == std::string_view::npos) end = report.size();
    std::string_view line = report.substr(at, end - at);
    at = end + 1;
    if (trim(line) == "-------") break;  // the separator of joined reports
    size_t key_end = line.find(' ');
    if (key_end == 0 || key_end == std::string_view::npos) continue;
    values.emplace(line.substr(0, key_end), trim(line.substr(key_end)));
  }
  auto get = [&](std::string_view key) {
    auto found = values.find(key);
    return found == values.end() ? std::string() : std::string(found->second);
  };
  report_summary summary;
  summary.recorded = get("Recorded");
  summary.platform = get("Platform");
  for (const char* key : {"Device.type", "Device.vendor", "Device.model"}) {
    std::string value = get(key);
    if (value.empty() || value == "-" || value == "?") continue;
    if (!summary.device.empty()) summary.device += " ";
    summary.device += value;
  }
  summary.read_best = get("Read.best.speed.decimal");
  summary.read_best_io = get("Read.best.io");
  summary.write_best = get("Write.best.speed.decimal");
  summary.write_best_io = get("Write.best.io");
  return summary;
}
