#pragma once

#include <string>

// Compares `actual` byte for byte with the file tests/data/`name`. With FOLVI_REWRITE_GOLDENS=1
// in the environment the file is written from `actual` instead (look at the diff before committing).
void expect_golden(const std::string& actual, const std::string& name);
