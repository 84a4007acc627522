#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "support/ref_counted.h"

class logger : public ref_counted {
 public:
  // Prefixes the level character and a blank, then hands on to write.
  void log(int level, const char* format, ...);
  virtual void write(const char* prefix, const char* format, va_list args) = 0;
};

// "0123 ?-": 0..3 as digits, 4 a blank, above 4 '?', negative '-'.
char level_char(int level);

class a_null_logger final : public logger {
 public:
  ~a_null_logger() override { end_static_life(); }
  void add_ref() override {}
  bool release() override { return false; }
  void write(const char*, const char*, va_list) override {}
  static a_null_logger instance;
};

class std_fh_logger final : public logger {
 public:
  explicit std_fh_logger(FILE* stream) : stream_(stream) {}
  ~std_fh_logger() override;
  void write(const char* prefix, const char* format, va_list args) override;

 private:
  FILE* stream_;
};

// Local time and the zone's standard bias in minutes (as GetTimeZoneInformation gives it).
struct clock_reading {
  SYSTEMTIME local;
  LONG bias_minutes;
};
using clock_fn = clock_reading (*)();
clock_reading system_clock_reading();
std::string time_stamp_text(const clock_reading& now);

class time_logger final : public logger {
 public:
  explicit time_logger(logger* target, clock_fn clock = system_clock_reading);
  ~time_logger() override;
  void write(const char* prefix, const char* format, va_list args) override;

 private:
  logger* target_;
  clock_fn clock_;
};

class indenting_logger final : public logger {
 public:
  explicit indenting_logger(logger* target);
  ~indenting_logger() override;
  void write(const char* prefix, const char* format, va_list args) override;
  void indent(int n);
  void unindent(int n);
  void log_indented(int level, int n, const char* format, ...);
  LONG indentation() const { return indentation_; }

 private:
  volatile LONG indentation_ = 0;
  logger* target_;
};

class capturing_logger final : public logger {
 public:
  capturing_logger();
  ~capturing_logger() override;
  void write(const char* prefix, const char* format, va_list args) override;
  void set_keep_prefix(bool keep) { keep_prefix_ = keep; }
  std::vector<std::string> lines();

 private:
  CRITICAL_SECTION lock_;
  std::vector<std::string> lines_;
  bool keep_prefix_ = false;
};
