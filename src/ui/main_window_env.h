#pragma once

#include <windows.h>

#include <string>

#include "bench/test_def.h"
#include "bench/test_runner_cb.h"
#include "results/report_host.h"
#include "ui/background_scan.h"
#include "results/report_files_api.h"
#include "toolkit/bmp_file.h"

// What the main window needs from the system besides its window: the storage scan's and the
// run's threads, the facts of a report, the browser, the files of the report actions and the
// hand-offs to sharing. Everything here is called on the user-interface thread.
class main_window_env {
 public:
  virtual ~main_window_env() = default;

  // The main window's own window while it exists (null once it goes): what the environment
  // shows, from message boxes to the sharing dialogs, is owned by it.
  virtual void set_window(HWND window) { (void)window; }

  // The storage scan (background_scan); its log begins with the full version.
  virtual bool start_scan(const std::string& version) = 0;
  virtual bool scan_ended() = 0;
  virtual scan_outcome take_scan() = 0;

  // The run's thread (run_thread) calling execute_tests with this profile, the runner and the
  // application logger. A failure to start is reported by the environment.
  virtual bool start_run(const test_def& profile, test_runner_cb& runner) = 0;
  virtual bool run_ended() = 0;
  // Waits for the run's thread while dispatching messages, closes it; what execute_tests returned.
  virtual bool join_run() = 0;

  virtual SYSTEMTIME local_time() = 0;
  virtual report_host host_facts() = 0;

  // The default browser (shell_launch without a verb).
  virtual void open_url(const std::wstring& url) = 0;

  virtual report_files_api& report_files() = 0;

  // Whether the user still wants the share prompt ("AskForResults" missing or not 0).
  virtual bool share_prompt_allowed() = 0;
  // After the share pause: the prompt (dialog 103) for the joined reports, then the upload or
  // the remembered refusal.
  virtual void offer_share(const std::string& joined_reports, const std::string& scan_text) = 0;
  // The upload dialog (102) for a screenshot share.
  virtual void share_screenshot(const screenshot_set& images, const std::string& report,
                                const std::string& scan_text) = 0;
};
