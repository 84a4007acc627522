#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "driver.h"

enum driver_exit : int { driver_ok = 0, driver_failed = 1, driver_bad_script = 2, driver_unreadable = 3 };

// Writes one command's answer: "| " before each data line, then "ok" or "error: WHAT".
void write_reply(const reply& r, bool ok, FILE* out);

// A whole script: every line is checked before any runs; the first failing command stops it.
// `name` labels the messages on `err`.
int run_script(const std::string& name, const std::vector<std::string>& lines, ui_driver& driver, FILE* out, FILE* err);

// Commands one line at a time from `in`, each answered at once, until "quit" or the end of input.
int run_conversation(FILE* in, ui_driver& driver, FILE* out);

// The lines of a script file (UTF-8, a byte-order mark allowed); false when it cannot be read.
bool read_script_lines(const std::wstring& path, std::vector<std::string>& lines);
