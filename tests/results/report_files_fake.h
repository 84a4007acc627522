#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "results/report_files_api.h"

// A report action's files as plain values: what exists, what was written, what failed.
struct fake_files final : report_files_api {
  std::map<std::wstring, std::string> disk;
  std::vector<std::string> calls;
  bool temp_ok = true, system_ok = true, windows_ok = true, launch_ok = true, replace_ok = true;
  int create_fails_after = -1;   // creations that work before the next one fails; -1 never
  std::set<std::wstring> taken;  // names another file already holds
  unsigned next_random = 0x1234;
  std::wstring launched_program, launched_parameters, launched_folder;
  bool settings_changed = false;

  bool temp_folder(std::wstring& folder) override;
  bool system_folder(std::wstring& folder) override;
  bool windows_folder(std::wstring& folder) override;
  unsigned random_number() override { return next_random++; }
  unsigned tick_count() override { return 0xBEEF; }
  bool exists(const std::wstring& path) override { return disk.count(path) || taken.count(path); }
  create_result create_new(const std::wstring& path, const std::string& bytes) override;
  bool replace(const std::wstring& from, const std::wstring& to) override;
  bool remove(const std::wstring& path) override;
  void change_notepad_settings() override;
  void restore_notepad_settings() override;
  bool launch_hidden(const std::wstring& program, const std::wstring& parameters, const std::wstring& folder) override;
  void pause(unsigned ms) override { calls.push_back("pause " + std::to_string(ms)); }
};
