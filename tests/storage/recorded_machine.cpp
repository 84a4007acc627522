#include "recorded_machine.h"

#include <gtest/gtest.h>

#include "golden.h"
#include "support/text.h"

std::wstring machines_dir() { return test_data_path("machines/"); }

std::vector<std::string> machine_names() {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW((machines_dir() + L"*.log.txt").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring file = found.cFileName;
    names.push_back(to_utf8(file.substr(0, file.size() - 8)));
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return names;
}

scan_recording recorded_machine(const std::string& name) {
  scan_recording r;
  std::string error;
  EXPECT_TRUE(read_recording(test_data_text("machines/" + name + ".txt"), r, error)) << name << ": " << error;
  return r;
}

recorded_field* field(std::vector<recorded_field>& fields, const char* name) {
  for (recorded_field& f : fields)
    if (f.name == name) return &f;
  return nullptr;
}
