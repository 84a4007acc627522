#include "app/gui_env.h"

#include "app/shell_launch.h"
#include "bench/test_runner.h"
#include "share/dialog_ask_to_share.h"
#include "share/dialog_upload.h"
#include "share/share_prompt.h"

app_window_env::app_window_env(app_context& app, const scan_recording* replay)
    : app_(app),
      share_ui_(app),
      replay_(replay ? new scan_replay(*replay) : nullptr),
      scan_(replay_ ? static_cast<device_api&>(*replay_) : win32_device_api(),
            replay_ ? static_cast<vds_api&>(*replay_) : win32_vds_api(), replay_.get()) {}

void app_window_env::set_window(HWND window) {
  window_ = window;
  // The context's message boxes are owned by the main window while it is there.
  app_.window_handle = window;
}

bool app_window_env::start_run(const test_def& profile, test_runner_cb& runner) {
  run_profile_ = profile;
  logger& log = *app_.main_logger;
  return run_.start([this, &runner, &log] { return execute_tests(run_profile_, runner, log); }, app_.errors);
}

SYSTEMTIME app_window_env::local_time() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return now;
}

report_host app_window_env::host_facts() { return read_report_host(app_.errors); }

void app_window_env::open_url(const std::wstring& url) { shell_launch(url, L"", false, app_.errors); }

bool app_window_env::share_prompt_allowed() { return ::share_prompt_allowed(); }

void app_window_env::offer_share(const std::string& joined_reports, const std::string& scan_text) {
  ::offer_share(share_ui_, window_, joined_reports, scan_text);
}

void app_window_env::share_screenshot(const screenshot_set& images, const std::string& report,
                                      const std::string& scan_text) {
  upload_share(share_ui_, window_, screenshot_share_package(images, report, scan_text));
}
