#include "app/cli_scan.h"

#include "storage/storage_scan.h"
#include "support/host_info.h"
#include "support/format_string.h"
#include "support/logger.h"
#include "support/text.h"

bool scan_storage(device_api& api, scan_result& result, api_error_cb* errors) {
  capturing_logger* captured = new capturing_logger;
  captured->set_keep_prefix(true);
  file_version version;
  const std::string version_text = program_version(version, nullptr) ? version.full() : "0.0.0.0";
  captured->log(4, "\nFOLVI Vezad, version %s\n\n", version_text.c_str());

  storage_scan* scan = new storage_scan(api);
  scan->set_logger(new time_logger(captured));
  scan->timeout = 10;
  scan->strict_checksums = false;
  const bool started = scan->start();
  if (started) {
    scan->wait();
    result.model = std::move(scan->model);
  } else if (errors) {
    errors->report_api_error("CreateThread", GetLastError());
  }
  scan->release();
  result.log_text.clear();
  for (const std::string& line : captured->lines()) result.log_text += line;
  captured->release();
  return started;
}

std::string summary_text(const location_summary& summary) {
  const std::pair<const char*, const std::wstring*> lines[] = {
      {"File system:", &summary.file_system}, {"Volume:", &summary.volume},   {"Device:", &summary.device},
      {"Controller:", &summary.controller},   {"Host OS:", &summary.host_os},
  };
  std::string text;
  for (const auto& line : lines) text += format_string("%-13s", line.first) + to_utf8(*line.second) + "\n";
  return text;
}
