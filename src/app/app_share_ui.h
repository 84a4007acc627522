#pragma once

#include <memory>

#include "share/share_ui_cb.h"
#include "results/report_files_api.h"

class app_context;

// The sharing dialogs as the program runs them: the context's message box, the browser through
// the shell, the real temporary files and Notepad, the share server of the build setting and the
// environment, and the process-wide error logger (on the console when one is attached).
class app_share_ui final : public share_ui_cb {
 public:
  explicit app_share_ui(app_context& app);

  int message_box(const std::wstring& text, uint32_t flags) override;
  void open_link(const std::wstring& link) override;
  report_files_api& report_files() override { return *files_; }
  http_target upload_target() override;
  api_error_cb* upload_errors() override;

 private:
  app_context& app_;
  std::unique_ptr<report_files_api> files_;
};
