#include "golden.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

std::string file_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string test_data_text(const std::string& name) {
  std::ifstream in(std::string(TEST_DATA_DIR) + "/" + name, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read server/tests/data/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void expect_golden(const std::string& actual, const std::string& name) {
  std::string path = std::string(TEST_DATA_DIR) + "/" + name;
  const char* rewrite = std::getenv("FOLVI_REWRITE_GOLDENS");
  if (rewrite && std::string(rewrite) == "1") {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << actual;
    EXPECT_TRUE(out.good()) << "cannot write server/tests/data/" << name;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << "no golden server/tests/data/" << name << " (FOLVI_REWRITE_GOLDENS=1 writes it)";
  EXPECT_EQ(actual, file_text(path)) << "differs from server/tests/data/" << name
                                     << " (FOLVI_REWRITE_GOLDENS=1 rewrites it)";
}

bool eventually(const std::function<bool()>& done) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done()) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}
