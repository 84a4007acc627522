#include "app/cli_status_line.h"

#include "support/format_string.h"

void cli_status_line::show(const std::string& text) {
  // The longer text shown before is blanked where the new one ends.
  const std::string padding(shown_ > text.size() ? shown_ - text.size() : 0, ' ');
  std::fputs(("\r" + text + padding).c_str(), out_);
  std::fflush(out_);
  shown_ = text.size() + padding.size();
}

void cli_status_line::clear() {
  if (shown_ == 0) return;
  std::fputs(("\r" + std::string(shown_, ' ') + "\r").c_str(), out_);
  std::fflush(out_);
  shown_ = 0;
}

void cli_status_line::keep() {
  if (shown_ == 0) return;
  std::fputs("\n", out_);
  std::fflush(out_);
  shown_ = 0;
}

std::string time_left_text(uint32_t ms) {
  const unsigned s = unsigned((ms + 500) / 1000);
  if (s >= 3600) return format_string("~%u:%02u:%02u left", s / 3600, s / 60 % 60, s % 60);
  return format_string("~%u:%02u left", s / 60, s % 60);
}
