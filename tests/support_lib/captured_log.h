#pragma once

#include <string>

#include "support/logger.h"

// A capturing logger (level characters kept) behind an indenting one, both owned by the test;
// the indentation must be back at 0 when the test ends.
struct captured_log {
  capturing_logger* target = new capturing_logger;
  indenting_logger* log = nullptr;
  captured_log();
  ~captured_log();
  captured_log(const captured_log&) = delete;
  captured_log& operator=(const captured_log&) = delete;
  std::string text() const;
};

std::string joined_lines(capturing_logger* log);
