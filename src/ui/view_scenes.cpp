#include "ui/view_scenes.h"

#include <algorithm>
#include <cmath>

namespace {
void offset(RECT& r, int dy) {
  r.top += dy;
  r.bottom += dy;
}

int between(int a, int b, double t) { return a + int(std::lround(double(b - a) * t)); }

RECT rect_between(const RECT& a, const RECT& b, double t) {
  return {between(a.left, b.left, t), between(a.top, b.top, t), between(a.right, b.right, t),
          between(a.bottom, b.bottom, t)};
}

bool same_rect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
}  // namespace

bool view_scene::operator==(const view_scene& o) const {
  if (client_height != o.client_height) return false;
  for (size_t i = 0; i < places.size(); ++i)
    if (places[i].visible != o.places[i].visible || !same_rect(places[i].rect, o.places[i].rect)) return false;
  return true;
}

view_scenes make_view_scenes(const view_scene& laid_out) {
  view_scenes s;
  view_scene done_list = laid_out;
  done_list.places[scene_list].visible = true;
  done_list.places[scene_read_graph].visible = false;
  done_list.places[scene_write_graph].visible = false;
  done_list.places[scene_switch].visible = true;
  done_list.places[scene_screengrab].visible = true;
  done_list.places[scene_separator].visible = true;
  done_list.places[scene_start].visible = true;
  s[view_done_list] = done_list;

  view_scene done_graphs = done_list;
  done_graphs.places[scene_list].visible = false;
  done_graphs.places[scene_read_graph].visible = true;
  done_graphs.places[scene_write_graph].visible = true;
  s[view_done_graphs] = done_graphs;

  for (view_state running : {view_running_list, view_running_graphs}) {
    view_scene r = s[running - view_running_offset];
    r.places[scene_screengrab].visible = false;
    offset(r.places[scene_screengrab].rect, screengrab_drop);
    s[running] = r;
  }

  // The ready view: the bottom row comes up until the separator stands at the list's top edge.
  view_scene ready = s[view_running_list];
  ready.places[scene_list].visible = false;
  ready.places[scene_switch].visible = false;
  const int rise = std::max(0, int(ready.places[scene_separator].rect.top - ready.places[scene_list].rect.top));
  for (scene_control c : {scene_separator, scene_start, scene_switch, scene_screengrab})
    offset(ready.places[c].rect, -rise);
  ready.client_height -= rise;
  s[view_ready] = ready;
  return s;
}

scene_moment scene_between(const view_scene& from, const view_scene& to, double t) {
  t = std::min(1.0, std::max(0.0, t));
  const bool shrinking = to.client_height < from.client_height;
  // What goes fades first when the window shrinks; it would otherwise hang below the window.
  const double fade = shrinking ? std::min(1.0, 2 * t) : t;
  const double move = shrinking ? std::max(0.0, 2 * t - 1) : t;
  scene_moment m;
  m.fading_opacity = int(std::lround(255.0 * (1.0 - fade)));
  m.scene.client_height = between(from.client_height, to.client_height, move);
  for (size_t i = 0; i < from.places.size(); ++i) {
    const scene_place& a = from.places[i];
    const scene_place& b = to.places[i];
    scene_place& p = m.scene.places[i];
    // A control that goes is covered where it stood; one that comes moves in from its old place.
    p.visible = b.visible;
    p.rect = b.visible ? rect_between(a.rect, b.rect, move) : (t >= 1.0 ? b.rect : a.rect);
  }
  return m;
}

unsigned move_steps(const view_move& move) {
  if (move.duration_ms == 0 || move.step_ms == 0) return 1;
  return std::max(1u, (move.duration_ms + move.step_ms / 2) / move.step_ms);
}
