// A fresh folder under /tmp, removed with everything in it.
#pragma once
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

struct temp_folder {
  std::string path;
  explicit temp_folder(std::string pattern = "/tmp/folvi-test.XXXXXX") {
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path = pattern;
  }
  ~temp_folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  temp_folder(const temp_folder&) = delete;
  temp_folder& operator=(const temp_folder&) = delete;
  std::string database() const { return path + "/shares.db"; }
};
