#pragma once

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
constexpr view_move view_to_run{300, 16};    // start of a run
constexpr view_move view_to_ready{300, 16};  // the ready state
constexpr view_move view_to_done{250, 20};   // a finished run with a report and graph data

// Fades of single controls.
constexpr unsigned change_link_fade_ms = 200;
constexpr unsigned screengrab_fade_ms = 100;
