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

namespace {
void fail_answer(recorded_entry& e, DWORD error) {
  if (recorded_field* ok = field(e.answer, "ok")) ok->text = "0";
  if (recorded_field* code = field(e.answer, "error")) code->text = std::to_string(error);
  if (recorded_field* returned = field(e.answer, "returned")) returned->text = "0";
  if (recorded_field* out = field(e.answer, "out")) out->bytes.clear();
}
}  // namespace

void fail_ioctl(scan_recording& r, DWORD code, DWORD error) {
  for (recorded_entry& e : r.entries) {
    const recorded_field* c = e.call == "ioctl" ? field(e.request, "code") : nullptr;
    uint64_t value = 0;
    if (c && parse_recorded_number(c->text, value) && value == code) fail_answer(e, error);
  }
}

void fail_call(scan_recording& r, const std::string& call, DWORD error) {
  for (recorded_entry& e : r.entries)
    if (e.call == call) fail_answer(e, error);
}

void set_os_index(scan_recording& r, int os_index) {
  for (recorded_entry& e : r.entries)
    if (e.call == "os_version_index") field(e.answer, "value")->text = std::to_string(os_index);
}
