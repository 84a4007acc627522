#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/scan_recording.h"

// The machines kept as recordings in tests/data/machines, and the edits tests make to them.

// The recordings are of the 32-bit program, whose pass-through requests differ in layout from a
// 64-bit build's, which refuses them. Where the tests run as 64-bit twins the 32-bit stage runs
// the product's own build of these tests, so the twin leaves them to it.
#define ONLY_WITH_32_BIT_RECORDINGS() \
  if (sizeof(void*) != 4) GTEST_SKIP() << "the machines are recordings of the 32-bit program"

// The folder, ending in a backslash.
std::wstring machines_dir();
// The names of the recordings that have a log beside them.
std::vector<std::string> machine_names();
// NAME.txt read; a recording that does not read fails the test.
scan_recording recorded_machine(const std::string& name);

// The first field of the name in an entry's request or answer; null when it has none.
recorded_field* field(std::vector<recorded_field>& fields, const char* name);
