#pragma once

#include <memory>
#include <string>

#include "storage/device_api.h"
#include "storage/storage_model.h"
#include "support/api_error.h"
#include "ui/location_summary.h"

// A finished storage scan: its model and its log as the report and the upload carry it.
struct scan_result {
  std::unique_ptr<storage_stack> model;
  std::string log_text;
};

// Scans on the scan's own thread as the window does (10-second pass-through timeout, checksums
// not strict) and waits for it.
bool scan_storage(device_api& api, scan_result& result, api_error_cb* errors);

// The window's five summary lines, one "Label:  text" line each, UTF-8.
std::string summary_text(const location_summary& summary);
