#include "support/api_error.h"

#include "support/format_string.h"
#include "support/text.h"

void api_error_info::set(const char* function, uint32_t error_code, const char* format, va_list args) {
  api = function ? function : "";
  code = error_code;
  detail = (format && *format) ? format_string_v(format, args) : std::string();
}

void api_error_cb::report_api_error(const char* function, uint32_t code, const char* format, ...) {
  va_list args;
  va_start(args, format);
  on_api_error(function, code, format, args);
  va_end(args);
}

void api_error_cb::report_api_error(const char* function, uint32_t code, const wchar_t* detail) {
  std::string text = to_utf8(detail ? detail : L"");
  report_api_error(function, code, "%s", text.c_str());
}

std::string failure_text(uint32_t code) {
  if (code == no_error_code) return "failed";
  if (code < 0x10000000) return format_string("failed with %lu", (unsigned long)code);
  return format_string("failed with %08lx", (unsigned long)code);
}

api_error_logger::api_error_logger(logger* target) : target_(target ? target : &a_null_logger::instance) {
  target_->add_ref();
  InitializeCriticalSection(&lock_);
}

api_error_logger::~api_error_logger() {
  DeleteCriticalSection(&lock_);
  target_->release();
}

void api_error_logger::set_target(logger* target) {
  if (!target) target = &a_null_logger::instance;
  target->add_ref();
  EnterCriticalSection(&lock_);
  logger* old = target_;
  target_ = target;
  LeaveCriticalSection(&lock_);
  old->release();
}

// A failed call is an error line of the log.
constexpr int failure_level = 0;

void api_error_logger::on_api_error(const char* function, uint32_t code, const char* format, va_list args) {
  EnterCriticalSection(&lock_);
  last_.set(function, code, format, args);
  if (target_ != &a_null_logger::instance) {
    std::string code_text = failure_text(code);
    if (last_.detail.empty()) target_->log(failure_level, "%s() %s\n", last_.api.c_str(), code_text.c_str());
    else target_->log(failure_level, "%s() %s, %s\n", last_.api.c_str(), code_text.c_str(), last_.detail.c_str());
  }
  LeaveCriticalSection(&lock_);
}

api_error_info api_error_logger::last_error() {
  EnterCriticalSection(&lock_);
  api_error_info copy = last_;
  LeaveCriticalSection(&lock_);
  return copy;
}

void diskvol_logger::on_api_error(const char* function, uint32_t code, const char* format, va_list args) {
  last_.set(function, code, format, args);
  if (!target_) return;
  const bool hex = code >= 0x10000000;
  const char* line = last_.detail.empty() ? (hex ? "%s() failed with %08lx\n" : "%s() failed with %lu\n")
                                          : (hex ? "%s() failed with %08lx, %s\n" : "%s() failed with %lu, %s\n");
  target_->log_indented(0, 2, line, last_.api.c_str(), (unsigned long)code, last_.detail.c_str());
}
