#include "app/cli_scan.h"

#include "app/cli_report.h"
#include "storage/scan_recorder.h"
#include "storage/scan_replay.h"
#include "storage/storage_scan.h"
#include "support/host_info.h"
#include "support/format_string.h"
#include "support/logger.h"
#include "support/text.h"
#include "storage/location_api.h"

std::string scan_program_version() {
  file_version version;
  return program_version(version, nullptr) ? version.full() : "0.0.0.0";
}

bool scan_storage(device_api& api, vds_api& vds, scan_result& result, api_error_cb* errors, scan_replay* replay) {
  capturing_logger* captured = new capturing_logger;
  captured->set_keep_prefix(true);
  captured->log(4, "\nFOLVI Vezad, version %s\n\n", scan_program_version().c_str());

  storage_scan* scan = new storage_scan(api, vds);
  logger* log = new time_logger(captured);
  if (replay) replay->set_logger(log);
  scan->set_logger(log);
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
  if (replay) replay->set_logger(nullptr);
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

bool record_scan(const std::wstring& path, scan_result& result, api_error_cb* errors, std::string& error) {
  scan_recorder recorder(win32_device_api(), win32_vds_api(), scan_program_version());
  error.clear();
  if (!scan_storage(recorder, recorder, result, errors)) return false;
  // The system's name as the location's summary shows it.
  recorder.add("os_name").out_text("text", to_utf8(win32_location_api().os_name()));
  if (write_text_file(path, write_recording(recorder.recording()), false, errors)) return true;
  error = "--record: the recording could not be written to \"" + to_utf8(path) + "\"";
  return false;
}

bool replay_scan(const std::wstring& path, scan_result& result, api_error_cb* errors, std::string& error,
                 scan_recording& recording) {
  error.clear();
  if (!load_recording(path, recording, error)) {
    error = "--replay: " + error;
    return false;
  }
  scan_replay replay(recording);
  return scan_storage(replay, replay, result, errors, &replay);
}
