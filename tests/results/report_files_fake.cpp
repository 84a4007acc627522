#include "report_files_fake.h"

#include "support/text.h"

namespace {
std::string narrow(const std::wstring& s) { return to_utf8(s); }
}  // namespace

bool fake_files::temp_folder(std::wstring& folder) {
  folder = L"C:\\Users\\A&B Smith\\Temp\\";
  return temp_ok;
}
bool fake_files::system_folder(std::wstring& folder) {
  folder = L"C:\\windows\\system32";
  return system_ok;
}
bool fake_files::windows_folder(std::wstring& folder) {
  folder = L"C:\\windows";
  return windows_ok;
}

create_result fake_files::create_new(const std::wstring& path, const std::string& bytes) {
  calls.push_back("create " + narrow(path));
  if (exists(path)) return create_result::exists;
  if (create_fails_after == 0) return create_result::failed;
  if (create_fails_after > 0) --create_fails_after;
  disk[path] = bytes;
  return create_result::created;
}

bool fake_files::replace(const std::wstring& from, const std::wstring& to) {
  calls.push_back("replace " + narrow(from) + " -> " + narrow(to));
  if (!replace_ok || !disk.count(from)) return false;
  disk[to] = disk[from];
  disk.erase(from);
  return true;
}

bool fake_files::remove(const std::wstring& path) {
  calls.push_back("remove " + narrow(path));
  return disk.erase(path) != 0;
}

void fake_files::change_notepad_settings() {
  calls.push_back("change settings");
  settings_changed = true;
}

void fake_files::restore_notepad_settings() {
  calls.push_back("restore settings");
  settings_changed = false;
}

bool fake_files::launch_hidden(const std::wstring& program, const std::wstring& parameters,
                               const std::wstring& folder) {
  calls.push_back(std::string("launch") + (settings_changed ? " with settings" : ""));
  launched_program = program;
  launched_parameters = parameters;
  launched_folder = folder;
  return launch_ok;
}
