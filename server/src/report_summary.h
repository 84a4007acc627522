// The few report values a share page shows above the full text.
#pragma once
#include <string>
#include <string_view>

struct report_summary {
  std::string recorded;
  std::string platform;
  std::string device;        // type, vendor and model joined
  std::string read_best;     // "Read.best.speed.decimal"
  std::string read_best_io;  // "Read.best.io"
  std::string write_best;
  std::string write_best_io;
};

// Reads "key  value" lines; of joined reports only the first one's values count.
report_summary summarize_report(std::string_view report);
