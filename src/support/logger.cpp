#include "support/logger.h"

#include "support/fatal.h"
#include "support/format_string.h"

char level_char(int level) {
  static const char table[] = "0123 ?-";
  if (level < 0) return table[6];
  if (level > 4) return table[5];
  return table[level];
}

void logger::log(int level, const char* format, ...) {
  const char prefix[3] = {level_char(level), ' ', 0};
  va_list args;
  va_start(args, format);
  write(prefix, format, args);
  va_end(args);
}

a_null_logger a_null_logger::instance;

std_fh_logger::~std_fh_logger() {
  if (stream_ && stream_ != stdout) std::fclose(stream_);
}

// One write per line: another thread's line never lands between prefix and message, and an
// unbuffered console stream (which Wine's C library feeds byte by byte) never sees a UTF-8
// character split in two.
void std_fh_logger::write(const char* prefix, const char* format, va_list args) {
  std::string line = prefix ? prefix : "";
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (n > 0) {
    const size_t at = line.size();
    line.resize(at + size_t(n) + 1);
    std::vsnprintf(&line[at], size_t(n) + 1, format, args);
    line.resize(at + size_t(n));
  }
  std::fwrite(line.data(), 1, line.size(), stream_);
}

clock_reading system_clock_reading() {
  clock_reading now{};
  GetLocalTime(&now.local);
  TIME_ZONE_INFORMATION tz{};
  GetTimeZoneInformation(&tz);
  now.bias_minutes = tz.Bias;
  return now;
}

std::string time_stamp_text(const clock_reading& now) {
  const SYSTEMTIME& t = now.local;
  return format_string("%04u.%02u.%02u %02u:%02u:%02u.%03u (UTC%+d) ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                       t.wSecond, t.wMilliseconds, int(now.bias_minutes / -60));
}

time_logger::time_logger(logger* target, clock_fn clock) : target_(target), clock_(clock) { target_->add_ref(); }
time_logger::~time_logger() { target_->release(); }

void time_logger::write(const char* prefix, const char* format, va_list args) {
  std::string stamped = time_stamp_text(clock_()) + (prefix ? prefix : "");
  target_->write(stamped.c_str(), format, args);
}

indenting_logger::indenting_logger(logger* target) : target_(target) {
  if (target_) target_->add_ref();
}
indenting_logger::~indenting_logger() {
  if (target_) target_->release();
}

void indenting_logger::write(const char* prefix, const char* format, va_list args) {
  if (!target_) return;
  LONG n = indentation_;
  if (n == 0) {
    target_->write(prefix, format, args);
    return;
  }
  std::string indented(size_t(n), ' ');
  indented += format;
  target_->write(prefix, indented.c_str(), args);
}

void indenting_logger::indent(int n) { InterlockedExchangeAdd(&indentation_, n); }

void indenting_logger::unindent(int n) {
  if (n > indentation_) fatal("indenting_logger::unindent");
  InterlockedExchangeAdd(&indentation_, -n);
}

void indenting_logger::log_indented(int level, int n, const char* format, ...) {
  if (!target_) return;
  indent(n);
  const char prefix[3] = {level_char(level), ' ', 0};
  va_list args;
  va_start(args, format);
  write(prefix, format, args);
  va_end(args);
  unindent(n);
}

capturing_logger::capturing_logger() { InitializeCriticalSection(&lock_); }
capturing_logger::~capturing_logger() { DeleteCriticalSection(&lock_); }

void capturing_logger::write(const char* prefix, const char* format, va_list args) {
  std::string line = format_string_v(format, args);
  if (keep_prefix_ && prefix) line.insert(0, prefix);
  EnterCriticalSection(&lock_);
  lines_.push_back(std::move(line));
  LeaveCriticalSection(&lock_);
}

std::vector<std::string> capturing_logger::lines() {
  EnterCriticalSection(&lock_);
  std::vector<std::string> copy = lines_;
  LeaveCriticalSection(&lock_);
  return copy;
}
