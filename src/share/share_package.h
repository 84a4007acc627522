#pragma once

#include <windows.h>

#include <string>
#include <vector>

class api_error_cb;

// What one share sends, filled by the caller: BMP file bytes (empty when absent) and texts.
struct share_package {
  bool screenshot = false;  // a screenshot share; else a report share
  std::string screenshot_image;
  std::string read_graph_image;
  std::string write_graph_image;
  std::string report_text;
  std::string stack_scan_text;
};

struct package_entry {
  const char* name;
  const std::string* content;
};

// The archive's entries in order: the three images when not empty, then the two texts always.
std::vector<package_entry> package_entries(const share_package& package);

// The ZIP package of a share, stamped with the local time of packing (or `packed_at`).
bool build_package_zip(const share_package& package, std::string& zip, api_error_cb* errors,
                       const SYSTEMTIME* packed_at = nullptr);

// The form field "type" of a share.
const char* share_type(const share_package& package);
