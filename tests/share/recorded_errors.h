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
  std::vector<api_error_info> all;
};

inline DWORD process_handle_count() {
  DWORD n = 0;
  GetProcessHandleCount(GetCurrentProcess(), &n);
  return n;
}
