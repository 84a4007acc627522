// Files under server/tests/data: goldens compared byte for byte and tables of cases; and the
// waiting for what a server does in its own time.
#pragma once
#include <functional>
#include <string>
#include <vector>

// Compares `actual` with server/tests/data/`name`; with FOLVI_REWRITE_GOLDENS=1 in the
// environment the file is written from `actual` instead (read the diff before committing).
void expect_golden(const std::string& actual, const std::string& name);
// The bytes of server/tests/data/`name`, throwing when it cannot be read.
std::string test_data_text(const std::string& name);
// The bytes of any file; empty when it cannot be read.
std::string file_text(const std::string& path);
// The lines of `text`, without their line ends.
std::vector<std::string> lines_of(const std::string& text);
// Polls `done` every 20 ms until it holds or 20 seconds have passed; whether it held.
bool eventually(const std::function<bool()>& done);
