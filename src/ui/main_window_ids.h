#pragma once

#include <cstdint>

// Controls of dialog 104, the menu commands, timers and private messages of the main window.

// Controls.
constexpr int id_switch_view = 3;        // link "Show raw data" / "Show graphs"
constexpr int id_change_profile = 4;     // link "Change" beside the configuration text
constexpr int id_start = 1002;           // Start / Cancel / Cancelling... / OK
constexpr int id_results_list = 1018;
constexpr int id_read_graph = 1020;
constexpr int id_write_graph = 1021;
constexpr int id_screengrab = 1022;      // image button: the report and screenshot popup
constexpr int id_file_system_line = 1052;
constexpr int id_volume_line = 1053;
constexpr int id_device_line = 1054;
constexpr int id_controller_line = 1055;
constexpr int id_host_os_line = 1056;
constexpr int id_configuration = 1057;
constexpr int id_presets = 1059;         // drop-down shown in place of 1057 and 4 while choosing
constexpr int id_status = 1058;
constexpr int id_location = 1338;

// Menu 104 (the hidden menu bar) and the popups of menu 110.
constexpr int cmd_about = 40097;
constexpr int cmd_homepage = 40098;
constexpr int cmd_methodology = 40100;
constexpr int cmd_exit = 40101;
constexpr int cmd_view_report = 40123;
constexpr int cmd_save_report = 40124;
constexpr int cmd_share_screenshot = 40133;
constexpr int cmd_units_1024 = 40136;
constexpr int cmd_units_1000 = 40137;

// Timers of the main window.
struct window_timer {
  unsigned id;
  unsigned period_ms;
};
constexpr window_timer scan_poll_timer{1, 200};
constexpr window_timer run_poll_timer{2, 250};
constexpr window_timer focus_start_timer{3, 250};        // one-shot
constexpr window_timer screenshot_timer{4, 500};         // one-shot: the popup menu is gone by then
constexpr window_timer screengrab_return_timer{5, 200};  // one-shot: the button comes back after a capture

// Private messages (WM_USER is 0x400).
constexpr unsigned msg_pick_folder = 0x400 + 1;   // posted by the location box handler
constexpr unsigned msg_units_popup = 0x400 + 2;   // posted by a graph when its units area is clicked
constexpr unsigned msg_run_event = 0x400 + 3;     // posted by the run's thread (run_poster)

// The scenes of the fade overlay.
enum view_state : int {
  view_done_list = 0,
  view_done_graphs = 1,
  view_running_list = 2,
  view_running_graphs = 3,
  view_ready = 4,
};
constexpr int view_graphs_bit = 1;
constexpr int view_running_offset = 2;

// How the view moves from one scene to another; duration 0 is at once.
struct view_move {
  unsigned duration_ms;
  unsigned step_ms;
};
constexpr view_move view_instant{0, 0};
constexpr view_move view_to_run{300, 16};     // start of a run
constexpr view_move view_to_ready{300, 16};   // the ready state
constexpr view_move view_to_done{250, 20};    // a finished run with a report and graph data

// Fades of single controls.
constexpr unsigned change_link_fade_ms = 200;
constexpr unsigned screengrab_fade_ms = 100;
