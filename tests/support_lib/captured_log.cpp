#include "captured_log.h"

#include <gtest/gtest.h>

captured_log::captured_log() {
  target->set_keep_prefix(true);
  log = new indenting_logger(target);
}

captured_log::~captured_log() {
  EXPECT_EQ(log->indentation(), 0);
  EXPECT_TRUE(log->release());
  EXPECT_TRUE(target->release());
}

std::string captured_log::text() const { return joined_lines(target); }

std::string joined_lines(capturing_logger* log) {
  std::string all;
  for (const std::string& line : log->lines()) all += line;
  return all;
}
