#pragma once

#include <string>

class api_error_cb;

// What the report says about the machine, gathered apart so that a report can be built from
// plain inputs.
struct report_host {
  std::string version = "0.0.0.0";  // all four parts
  std::string os_name;
  std::string os_version;
  bool wow64 = false;
  std::string machine_id = "-";
};

report_host read_report_host(api_error_cb* errors);
