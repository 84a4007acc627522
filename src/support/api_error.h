#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <string>

#include "support/logger.h"

constexpr uint32_t no_error_code = 0xFFFFFFFF;

struct api_error_info {
  std::string api;
  uint32_t code = 0;
  std::string detail;
  void set(const char* function, uint32_t error_code, const char* format, va_list args);
};

// Receives every failed operating-system call; callers pass null to stay silent.
class api_error_cb {
 public:
  virtual ~api_error_cb() = default;
  virtual void on_api_error(const char* function, uint32_t code, const char* format, va_list args) = 0;
  void report_api_error(const char* function, uint32_t code, const char* format = nullptr, ...);
  void report_api_error(const char* function, uint32_t code, const wchar_t* detail);
};

class api_error_logger final : public api_error_cb {
 public:
  explicit api_error_logger(logger* target = nullptr);
  ~api_error_logger() override;
  api_error_logger(const api_error_logger&) = delete;
  api_error_logger& operator=(const api_error_logger&) = delete;
  void on_api_error(const char* function, uint32_t code, const char* format, va_list args) override;
  void set_target(logger* target);
  api_error_info last_error();

 private:
  logger* target_;
  CRITICAL_SECTION lock_;
  api_error_info last_;
};

class diskvol_logger final : public api_error_cb {
 public:
  explicit diskvol_logger(indenting_logger* target) : target_(target) {}
  void on_api_error(const char* function, uint32_t code, const char* format, va_list args) override;
  const api_error_info& last_error() const { return last_; }

 private:
  indenting_logger* target_;
  api_error_info last_;
};

// "failed", "failed with 5" or "failed with 80070005".
std::string failure_text(uint32_t code);
