#pragma once

#include <windows.h>

#include <array>

#include "resource_ids.h"
#include "ui/view_states.h"

// The controls that the view states move, show and hide; everything else stays as laid out.
enum scene_control : int {
  scene_list,
  scene_read_graph,
  scene_write_graph,
  scene_switch,
  scene_screengrab,
  scene_separator,  // the line above the bottom row; its band follows it
  scene_start,
  scene_control_count,
};
constexpr int id_separator = -1;
constexpr int scene_control_ids[scene_control_count] = {IDC_MAIN_RESULTS,     IDC_MAIN_READ_GRAPH, IDC_MAIN_WRITE_GRAPH,
                                                        IDC_MAIN_SWITCH_VIEW, IDC_MAIN_SCREENGRAB, id_separator,
                                                        IDC_MAIN_START};

struct scene_place {
  RECT rect{};  // in the client area
  bool visible = false;
};

// One look of the window: where each of those controls stands and how high the client area is.
struct view_scene {
  std::array<scene_place, scene_control_count> places{};
  int client_height = 0;
  bool operator==(const view_scene& o) const;
};
using view_scenes = std::array<view_scene, 5>;  // by view_state

// While a run goes, the screengrab button waits this far below its place.
constexpr int screengrab_drop = 50;

// The five scenes from the laid-out one (the list shown, the graphs hidden): the graphs instead
// of the list, the screengrab button dropped and hidden while a run goes, and the ready view that
// ends where the list's top edge was, the separator and the Start button moved up with its end.
view_scenes make_view_scenes(const view_scene& laid_out);

// A moment of a move between two scenes. A control that shows in either is shown; what goes is
// gone first, while the rest stands (t up to 1/2), then the rest moves (t from 1/2 to 1), when
// the window shrinks; otherwise everything moves over the whole time.
struct scene_moment {
  view_scene scene;
  int fading_opacity = 0;  // 255 to 0: the covers of the controls that go
};
scene_moment scene_between(const view_scene& from, const view_scene& to, double t);

// The steps of a move: at least one.
unsigned move_steps(const view_move& move);
