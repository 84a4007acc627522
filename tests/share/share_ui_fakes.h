#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "share/share_ui_cb.h"
#include "support/api_error.h"
#include "results/report_files_api.h"

// The program around the sharing dialogs as the tests see it: message boxes and opened links
// are written down (a box answers OK at once), uploads go to the given target, and the post's
// failures to a thread-safe logger.
class recording_share_ui final : public share_ui_cb {
 public:
  recording_share_ui(const http_target& target, report_files_api& files) : target_(target), files_(files) {}

  int message_box(const std::wstring& text, uint32_t flags) override {
    boxes.emplace_back(text, flags);
    return IDOK;
  }
  void open_link(const std::wstring& link) override { links.push_back(link); }
  report_files_api& report_files() override { return files_; }
  http_target upload_target() override { return target_; }
  api_error_cb* upload_errors() override { return &errors; }

  std::vector<std::pair<std::wstring, uint32_t>> boxes;
  std::vector<std::wstring> links;
  api_error_logger errors;

 private:
  http_target target_;
  report_files_api& files_;
};

// The real temporary files, but Notepad is only written down, not started, and nothing waits.
class notepad_recorder final : public report_files_api {
 public:
  notepad_recorder();
  bool temp_folder(std::wstring& folder) override { return real_->temp_folder(folder); }
  bool system_folder(std::wstring& folder) override { return real_->system_folder(folder); }
  bool windows_folder(std::wstring& folder) override { return real_->windows_folder(folder); }
  unsigned random_number() override { return real_->random_number(); }
  unsigned tick_count() override { return real_->tick_count(); }
  bool exists(const std::wstring& path) override { return real_->exists(path); }
  create_result create_new(const std::wstring& path, const std::string& bytes) override;
  bool replace(const std::wstring& from, const std::wstring& to) override { return real_->replace(from, to); }
  bool remove(const std::wstring& path) override { return real_->remove(path); }
  void change_notepad_settings() override {}
  void restore_notepad_settings() override {}
  bool launch_hidden(const std::wstring& program, const std::wstring& parameters, const std::wstring& folder) override;
  void pause(unsigned) override {}

  // The files made and the command lines that would have started, in order.
  std::vector<std::wstring> created;
  std::vector<std::wstring> launched;
  // Reads a file made here, then deletes it (the command that would have deleted it never ran).
  std::string take(const std::wstring& path);

 private:
  std::unique_ptr<report_files_api> real_;
};

// A plain HTTP target on the scripted responder for `path`.
http_target responder_target(const std::string& path);
