#pragma once

#include "app/app_context.h"
#include "app/app_share_ui.h"
#include <memory>

#include "storage/scan_replay.h"
#include "ui/background_scan.h"
#include "ui/main_window_env.h"
#include "ui/run_thread.h"

// The main window's system as the program runs it: the storage scan and the run on threads of
// their own, the runner logging to the main logger, the real report files, the browser through
// the shell, and the share prompt and upload over the main window. Failures go to the context's
// error logger (on the console when one is attached). With a recording the scan is answered
// from it instead of the machine.
class app_window_env final : public main_window_env {
 public:
  app_window_env(app_context& app, const scan_recording* replay);

  void set_window(HWND window) override;
  bool start_scan(const std::string& version) override { return scan_.start(version, app_.errors); }
  bool scan_ended() override { return scan_.ended(); }
  scan_outcome take_scan() override { return scan_.take(); }
  bool start_run(const test_def& profile, test_runner_cb& runner) override;
  bool run_ended() override { return run_.ended(); }
  bool join_run() override { return run_.join(); }
  SYSTEMTIME local_time() override;
  report_host host_facts() override;
  void open_url(const std::wstring& url) override;
  report_files_api& report_files() override { return share_ui_.report_files(); }
  bool share_prompt_allowed() override;
  void offer_share(const std::string& joined_reports, const std::string& scan_text) override;
  void share_screenshot(const screenshot_set& images, const std::string& report, const std::string& scan_text) override;

 private:
  app_context& app_;
  app_share_ui share_ui_;
  std::unique_ptr<scan_replay> replay_;
  background_scan scan_;
  run_thread run_;
  test_def run_profile_;  // the running profile, owned here for the thread's whole life
  HWND window_ = nullptr;
};
