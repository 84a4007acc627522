#pragma once

#include <string>
#include <vector>

// A key/value line of the test report; the report is an ordered list of them.
struct report_entry {
  std::string key;
  std::string value;
};
using report_entries = std::vector<report_entry>;
