#pragma once

#include <memory>
#include <string>

#include "storage/device_api.h"
#include "storage/scan_recording.h"
#include "storage/vds_api.h"
#include "storage/storage_model.h"
#include "support/api_error.h"
#include "storage/location_summary.h"

// A finished storage scan: its model and its log as the report and the upload carry it.
struct scan_result {
  std::unique_ptr<storage_stack> model;
  std::string log_text;
};

class scan_replay;

// Scans on the scan's own thread as the window does (10-second pass-through timeout, checksums
// not strict) and waits for it. A replay names the requests its recording lacks in the log.
bool scan_storage(device_api& api, vds_api& vds, scan_result& result, api_error_cb* errors,
                  scan_replay* replay = nullptr);

// The program's version as the scan log and a recording show it.
std::string scan_program_version();

// --scan with --record or --replay: the scan of this machine kept in a file, or a file's machine
// scanned. False with one line in `error` when the recording cannot be read or written.
bool record_scan(const std::wstring& path, scan_result& result, api_error_cb* errors, std::string& error);
// The replay keeps the recording in `recording`: the location is described from it.
bool replay_scan(const std::wstring& path, scan_result& result, api_error_cb* errors, std::string& error,
                 scan_recording& recording);

// The window's five summary lines, one "Label:  text" line each, UTF-8.
std::string summary_text(const location_summary& summary);
