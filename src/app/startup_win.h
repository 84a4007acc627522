#pragma once

#include <functional>
#include <memory>

#include "app/app_context.h"
#include "app/app_message_box.h"
#include "app/startup_api.h"
#include "storage/scan_recording.h"

// The start-up sequence's calls on the real process: the context, the console, the token, the
// shell, COM and the privileges; `run_window` shows the main window until it is closed, its scan
// answered from the recording when one was given.
class win32_startup final : public startup_api {
 public:
  using window_fn = std::function<void(const scan_recording* replay)>;
  win32_startup(app_context& app, window_fn run_window) : app_(app), run_window_(std::move(run_window)) {}

  logger& main_logger() override { return *app_.main_logger; }
  api_error_cb* errors() override { return app_.errors; }
  uint32_t last_error_code() override { return app_.error_logger.last_error().code; }
  void request_console() override;
  bool console_requested() override { return app_.console_requested; }
  bool console_attached() override { return app_.console_attached; }
  void set_elevating() override { app_.elevating = true; }
  bool load_replay(const std::wstring& path, std::string& error) override;
  void set_elevation(int state) override { app_.elevation = state; }
  bool read_version() override { return app_.read_version(); }
  int message_box(const std::wstring& text, uint32_t flags) override { return app_message_box(app_, text, flags); }

  uint16_t key_state(int virtual_key) override;
  int os_version_index() override;
  token_elevation_query token_elevation() override;
  bool own_path(std::wstring& path, uint32_t& error) override;
  bool shell_launch(const std::wstring& path, const std::wstring& parameters, bool elevated,
                    api_error_cb* errors) override;
  long co_initialize(uint32_t apartment) override;
  long co_initialize_security(const com_security& security) override;
  bool enable_privilege(const wchar_t* name, api_error_cb* errors) override;
  void load_optional_functions(api_error_cb* errors) override;
  void run_main_window() override { run_window_(replay_.get()); }
  void wait_for_enter(const char* prompt) override;

 private:
  app_context& app_;
  window_fn run_window_;
  std::unique_ptr<scan_recording> replay_;
};
