#pragma once

#include <string>
#include <vector>

#include "support/api_error.h"

// Keeps every reported failure, in order.
class recorded_errors final : public api_error_cb {
 public:
  void on_api_error(const char* function, uint32_t code, const char* format, va_list args) override {
    api_error_info info;
    info.set(function, code, format, args);
    all.push_back(info);
  }
  // "name code detail" of the only report, or a note that there was not exactly one.
  std::string only() const {
    if (all.size() != 1) return std::to_string(all.size()) + " reports";
    return all[0].api + " " + std::to_string(all[0].code) + " " + all[0].detail;
  }
  // "name code [detail]" of each report.
  std::vector<std::string> lines() const {
    std::vector<std::string> out;
    for (const api_error_info& e : all) out.push_back(e.api + " " + std::to_string(e.code) + " [" + e.detail + "]");
    return out;
  }
  // The latest report, or an empty one.
  api_error_info last() const { return all.empty() ? api_error_info() : all.back(); }
  std::vector<api_error_info> all;
};
