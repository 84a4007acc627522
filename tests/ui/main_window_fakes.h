#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "report_files_fake.h"
#include "ui/main_window_model.h"
#include "ui/test_config_model.h"

// Dialog 106's controls, for a profile chosen by typing into it.
struct quiet_dialog final : test_config_view_cb {
  void fill_combo(int, const std::vector<std::wstring>&) override {}
  void select_item(int, int) override {}
  void set_text(int, const std::wstring&) override {}
  void set_check(int, bool) override {}
  void set_hint(int, const std::wstring&) override {}
  void draw_attention(int) override {}
  void message_box(const std::wstring&, const std::wstring&, uint32_t) override {}
  void end_dialog(int) override {}
};

// The window's controls as plain values.
struct fake_window final : main_window_cb {
  std::map<int, std::wstring> texts;
  std::map<int, bool> enabled;
  std::map<int, bool> visible;
  std::map<int, unsigned> fades;  // the last fade's duration per control
  std::wstring title = L"Cold-cache Sequential I/O Benchmark";
  std::vector<std::pair<view_state, view_move>> views;
  std::set<unsigned> timers;
  int focused = 0;

  std::vector<std::wstring> location_items;
  int location_selected = -1;
  bool location_enabled = true;

  std::vector<std::wstring> presets;
  bool presets_shown = false;
  int presets_selected = -1;
  std::function<bool(test_config_model&)> profile_dialog;  // the user's work in dialog 106

  size_t list_rows = 0;  // rows the list holds
  int list_clears = 0;
  size_t scrolled_to = size_t(-1);
  std::map<bool, int> graph_repaints;

  struct box {
    std::wstring text, caption;
    uint32_t flags;
  };
  std::vector<box> boxes;
  int box_answer = 1;
  uint32_t box_ticks = 0;  // flags the user's tick leaves set

  std::wstring save_path = L"D:\\reports\\r.folvi.txt";
  save_request last_save;

  int capture_fails_at = -1;  // the capture that fails, by order; -1 none
  std::vector<capture_target> captures;
  std::vector<std::wstring> titles_during_capture, volume_during_capture;

  std::vector<std::pair<uintptr_t, intptr_t>> posted;
  int ended = 0;

  // location_list_cb
  void set_items(const std::vector<std::wstring>& items) override { location_items = items; }
  void append_item(const std::wstring& text) override { location_items.push_back(text); }
  void remove_last_item() override { location_items.pop_back(); }
  void select_item(int index) override { location_selected = index; }
  void enable_list(bool on) override { location_enabled = on; }
  void post_pick_request() override {}
  void show_summary(const location_summary& s) override { texts[IDC_MAIN_VOLUME] = s.volume; }
  // profile_choice_cb
  void set_configuration_text(const std::wstring& text) override { texts[IDC_MAIN_CONFIGURATION] = text; }
  void show_presets(bool shown, int selected) override {
    presets_shown = shown;
    presets_selected = selected;
  }
  bool run_profile_dialog(test_config_model& dialog) override { return profile_dialog && profile_dialog(dialog); }
  // user_prompt_cb
  int message_box(const std::wstring& text, uint32_t& flags, const std::wstring& caption) override {
    boxes.push_back({text, caption, flags});
    flags = (flags & ~0xF000u) | box_ticks;
    return box_answer;
  }
  bool choose_save_path(const save_request& request, std::wstring& path) override {
    last_save = request;
    path = save_path;
    return true;
  }
  // run_post_cb
  bool window_alive() override { return true; }
  void post_run_event(uintptr_t event, intptr_t serial) override { posted.push_back({event, serial}); }
  // main_window_cb
  void set_text(int id, const std::wstring& text) override { texts[id] = text; }
  void enable_control(int id, bool on) override { enabled[id] = on; }
  void fade_control(int id, bool shown, unsigned ms) override {
    visible[id] = shown;
    fades[id] = ms;
  }
  void focus_control(int id) override { focused = id; }
  void set_title(const std::wstring& text) override { title = text; }
  void show_view(view_state state, view_move move) override { views.push_back({state, move}); }
  void fill_presets(const std::vector<std::wstring>& items) override { presets = items; }
  void clear_list() override {
    list_rows = 0;
    ++list_clears;
  }
  void add_rows(const raw_rows& rows, size_t first) override;
  void scroll_to_row(size_t row) override { scrolled_to = row; }
  void graph_changed(bool read) override { ++graph_repaints[read]; }
  void set_graph_timer(bool, graph_timer) override {}
  void set_timer(window_timer t) override { timers.insert(t.id); }
  void kill_timer(unsigned id) override { timers.erase(id); }
  bool capture(capture_target target, captured_image& image) override;
  void end_dialog(int result) override { ended = result; }

  // Hands the run's posted events to the model, as the message loop does.
  void deliver(main_window_model& model);
  // The controls as they stand, a line each: "text 1058 Ready to run", "shown 1071 0 (200 ms)" ...
  std::string state();
};

// The system around the window.
struct fake_env final : main_window_env {
  std::string scan_version;
  bool scan_done = false;
  std::unique_ptr<storage_stack> stack;

  bool run_start_ok = true;
  int runs_started = 0;
  test_def started_profile;
  test_runner_cb* runner = nullptr;
  bool run_done = false;
  bool run_result = true;
  int joins = 0;
  std::function<void()> during_join;  // what the message-pumping wait dispatches

  SYSTEMTIME time{2024, 1, 3, 31, 9, 5, 7, 0};
  std::vector<std::wstring> urls;
  fake_files files;
  bool share_allowed = true;
  int share_questions = 0;
  std::vector<std::pair<std::string, std::string>> offered;
  int screenshot_shares = 0;
  screenshot_set shared_images;
  std::string shared_report, shared_scan_text;

  bool start_scan(const std::string& version) override {
    scan_version = version;
    return true;
  }
  bool scan_ended() override { return scan_done; }
  scan_outcome take_scan() override;
  bool start_run(const test_def& profile, test_runner_cb& cb) override;
  bool run_ended() override { return run_done; }
  bool join_run() override;
  SYSTEMTIME local_time() override { return time; }
  report_host host_facts() override { return {}; }
  void open_url(const std::wstring& url) override { urls.push_back(url); }
  report_files_api& report_files() override { return files; }
  bool share_prompt_allowed() override {
    ++share_questions;
    return share_allowed;
  }
  void offer_share(const std::string& joined, const std::string& scan_text) override {
    offered.push_back({joined, scan_text});
  }
  void share_screenshot(const screenshot_set& images, const std::string& report, const std::string& scan_text) override;
};

// Two local drives, C: (serial 1234-ABCD) and D:, and whatever else the test says exists.
struct fake_locations final : location_api {
  std::set<std::wstring> existing{L"C:\\", L"D:\\"};
  std::set<std::wstring> remote_roots;
  bool exists(const std::wstring& path) override { return existing.count(path) != 0; }
  bool volume_path_name(const std::wstring& path, std::wstring& root) override;
  bool volume_identity(const std::wstring& root, uint32_t& serial, std::wstring& file_system) override;
  bool is_remote_drive(const std::wstring& root) override { return remote_roots.count(root) != 0; }
  share_info remote_protocol(const std::wstring&) override { return {}; }
  std::wstring os_name() override { return L"Windows 10"; }
};

std::unique_ptr<storage_stack> two_local_drives();

// A window, its system and its model, opened and scanned up to the ready state.
struct main_window_rig {
  fake_window window;
  fake_env env;
  fake_locations locations;
  file_version version{1, 2, 0, 0};
  main_window_model model{window, env, locations, version, web_server{L"folvi.example", true, 0}};

  // init and the end of the scan.
  void open();
  // A small custom profile chosen through dialog 106: 6 read and 4 write tests.
  void choose_small_profile();
  // open, choose_small_profile and Start.
  void start_small_run();
  void press_start(bool control = false) { model.command(IDC_MAIN_START, control_event::clicked, 0, control); }
  void tick() { model.timer(run_poll_timer.id); }
  // What the window shows at this moment, added to `seen` under the moment's name.
  std::string seen;
  void look(const std::string& moment);
  // The runner's calls, from the test instead of the run's thread; posted events delivered.
  void phase(bool read);
  bool test_done(bool read, double rate, bool ok = true);
  // The run's thread ends with this result; the next tick finishes the run.
  void end_run(bool result);
  // The reads of the running small profile, each a new best, and the run's end: a complete report.
  void complete_reads();
};
