#pragma once

#include <functional>
#include <string>
#include <vector>

// Compares `actual` byte for byte with the file tests/data/`name`. With FOLVI_REWRITE_GOLDENS=1
// in the environment the file is written from `actual` instead (look at the diff before committing).
void expect_golden(const std::string& actual, const std::string& name);
// tests/data/`name` as a Windows path.
std::wstring test_data_path(const std::string& name);
// The bytes of tests/data/`name`; empty when it cannot be read.
std::string test_data_text(const std::string& name);
// A table of cases as data: each line of tests/data/`name` that holds " => " is "question => answer".
// The file, with every answer replaced by `answer(question)`, must equal the file byte for byte
// (other lines stay as they are); FOLVI_REWRITE_GOLDENS=1 writes the answers given.
void expect_table(const std::string& name, const std::function<std::string(const std::string&)>& answer);
// The words of `text` split at single spaces.
std::vector<std::string> words(const std::string& text);
// Cases as data: each line of tests/data/`name` that starts with "--- " names a case, and the lines
// after it, up to the next case, must be `run(case)` (FOLVI_REWRITE_GOLDENS=1 writes them).
void expect_cases(const std::string& name, const std::function<std::string(const std::string&)>& run);
// The value of "key=value" among the words of `spec`, or `otherwise`.
std::string spec_value(const std::string& spec, const std::string& key, const std::string& otherwise = "");
