#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "bench/test_def.h"
#include "results/report_sharing.h"
#include "ui/results_model.h"
#include "support/host_info.h"
#include "storage/location_list.h"
#include "ui/main_window_cb.h"
#include "ui/main_window_env.h"
#include "ui/pretty_graph_model.h"
#include "ui/profile_choice.h"
#include "ui/run_poster.h"

// The project's web server as the Help menu's pages reach it.
struct web_server {
  std::wstring host;
  bool tls = true;
  uint16_t port = 0;  // 0: the scheme's own
};
std::wstring web_page_url(const web_server& server, const wchar_t* path);

// What a control reported, from its notification code.
enum class control_event { clicked, dropped_down, closed_up, confirmed };

// Where the program stands, from the Start button's point of view.
enum class window_phase { scanning, ready, running, finished, closed };

// The main window without its window: the storage scan, the location and the profile, the run
// from Start to its report, the view states, the report actions and closing. The window calls
// it as main_window_cb describes; the runner calls runner() from the run's thread.
class main_window_model {
 public:
  main_window_model(main_window_cb& view, main_window_env& env, location_api& locations, const file_version& version,
                    const web_server& web);
  main_window_model(const main_window_model&) = delete;
  main_window_model& operator=(const main_window_model&) = delete;

  void init(size_t rows_per_page);
  // False for an id the model has no use for.
  bool command(int id, control_event event, int selection, bool control_held);
  void timer(unsigned id);
  void run_event(uintptr_t event, intptr_t serial);
  // The folder picker's answer; empty when it was cancelled.
  void folder_picked(const std::wstring& folder);
  // Closing: the ordinary way (forced false) or because Windows is ending the session.
  void close(bool forced);

  test_runner_cb& runner() { return results_; }
  const results_model& results() const { return results_; }
  pretty_graph_model& graph(bool read) { return read ? read_graph_ : write_graph_; }
  const location_list& locations() const { return location_list_; }
  const profile_choice& profile() const { return profile_; }
  const report_history& reports() const { return history_; }
  const std::string& scan_text() const { return scan_text_; }
  window_phase phase() const { return phase_; }
  view_state view() const { return view_state_; }
  bool decimal_units() const { return decimal_units_; }
  bool confirm_share_screenshot() const { return confirm_share_screenshot_; }
  int pending_screengrab_command() const { return pending_screengrab_command_; }
  bool runner_ok() const { return runner_ok_; }

 private:
  // Lifecycle.
  void scan_polled();
  void enter_ready();
  void start_pressed(bool control_held);
  void start_test();
  void check_test_status();
  void carry_results_over();
  void finish_test();
  void set_start_button(const wchar_t* label, bool enabled);
  void set_status(const std::wstring& text);
  void move_view(view_state state, view_move move);
  // Commands.
  void location_event(control_event event, int selection);
  void preset_event(control_event event, int selection);
  void switch_view();
  void set_units(bool decimal);
  void show_about();
  // Report actions.
  bool report_ready() const { return !history_.last_report.empty(); }
  void view_report();
  void save_report();
  void share_screenshot();
  void make_screenshot();
  bool capture_all(screenshot_set& images);

  main_window_cb& view_;
  main_window_env& env_;
  location_api& location_api_;
  file_version version_;
  web_server web_;

  location_list location_list_;
  profile_choice profile_;
  run_poster poster_;
  results_model results_;
  pretty_graph_model read_graph_, write_graph_;

  std::unique_ptr<storage_stack> stack_;
  std::string scan_text_;
  test_def run_profile_;
  report_history history_;
  SYSTEMTIME run_time_{};
  std::wstring run_location_;

  window_phase phase_ = window_phase::scanning;
  view_state view_state_ = view_ready;
  size_t rows_per_page_ = 0;
  bool run_active_ = false;  // the run's thread exists
  bool runner_ok_ = false;
  bool change_link_hidden_ = false;
  intptr_t run_serial_ = 0;
  bool decimal_units_ = false;
  bool confirm_share_screenshot_ = true;
  int pending_screengrab_command_ = 0;
};
