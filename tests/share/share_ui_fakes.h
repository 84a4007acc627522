#pragma once

#include <windows.h>

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

// A plain HTTP target on the scripted responder for `path`.
http_target responder_target(const std::string& path);
