#pragma once

#include <string>

// Compares `actual` byte for byte with the file tests/data/`name`. With FOLVI_REWRITE_GOLDENS=1
// in the environment the file is written from `actual` instead (look at the diff before committing).
void expect_golden(const std::string& actual, const std::string& name);
// tests/data/`name` as a Windows path.
std::wstring test_data_path(const std::string& name);
// The bytes of tests/data/`name`; empty when it cannot be read.
std::string test_data_text(const std::string& name);
