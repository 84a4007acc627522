// The moves between view states and the fades of the link and the screengrab button.
#include "ui/main_window.h"
#include "ui/window_capture.h"

namespace {
// A step moves and resizes without painting anything: a resized window may get a new, black
// picture (under Wine), which the screen can show as soon as any part of it is painted, and the
// controls would paint one by one. The step's picture is put there whole afterwards. The old
// pixels are no picture of a control that has moved over other controls.
constexpr UINT quiet_move = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOREDRAW | SWP_DEFERERASE;
}  // namespace

void main_window::place_control(scene_control c, const scene_place& place) {
  const HWND control = item(scene_control_ids[c]);
  const RECT& r = place.rect;
  const bool shown = (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
  UINT flags = quiet_move;
  if (place.visible != shown) flags |= place.visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
  SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
}

void main_window::set_client_height(int height) {
  const RECT client = client_rect();
  if (client.bottom == height) return;
  const RECT window = window_rect();
  SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left, window.bottom - window.top + height - client.bottom,
               SWP_NOMOVE | quiet_move);
}

void main_window::apply_scene(const view_scene& scene, int fading_opacity) {
  // Growing first and shrinking last, so that no control stands outside the window meanwhile.
  if (scene.client_height > client_rect().bottom) set_client_height(scene.client_height);
  for (int c = 0; c < scene_control_count; ++c) place_control(scene_control(c), scene.places[size_t(c)]);
  set_client_height(scene.client_height);
  if (move_.covers.size()) move_.covers.set_opacity(BYTE(fading_opacity));
  paint_scene();
}

void main_window::paint_scene() {
  // The band follows the separator, and the controls are drawn where they now stand.
  if (!IsWindowVisible(hwnd_)) {
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return;
  }
  // The whole window with every control in one copy.
  paint_window_at_once(hwnd_);
  // The controls' own paints would repeat that picture, and a graph's paint is a step of its
  // animation. The frames, painted by the system in strokes, now only go over the same picture;
  // a control just shown has never drawn its border and scroll bars where it stands.
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_ALLCHILDREN);
  SendMessageW(hwnd_, WM_NCPAINT, 1, 0);
  for (int id : scene_control_ids)
    if (IsWindowVisible(item(id))) SendMessageW(item(id), WM_NCPAINT, 1, 0);
}

void main_window::show_view(view_state state, view_move move) {
  finish_view_move();
  finish_fades();
  const view_scene from = scenes_[shown_state_];
  const view_scene& to = scenes_[state];
  shown_state_ = state;
  if (move.duration_ms == 0 || !IsWindowVisible(hwnd_)) {
    apply_scene(to, 0);
    return;
  }
  move_.from = from;
  move_.to = to;
  move_.step = 0;
  move_.steps = move_steps(move);
  // What goes is covered by its own picture, which fades while the control is already hidden.
  std::vector<HWND> going;
  for (int c = 0; c < scene_control_count; ++c)
    if (from.places[size_t(c)].visible && !to.places[size_t(c)].visible) going.push_back(item(scene_control_ids[c]));
  move_.covers.cover(going, 255);
  move_.active = true;
  const scene_moment start = scene_between(from, to, 0.0);
  apply_scene(start.scene, start.fading_opacity);
  sfc_dialog::set_timer(view_move_timer, move.step_ms);
}

void main_window::view_step() {
  if (!move_.active) return sfc_dialog::kill_timer(view_move_timer);
  ++move_.step;
  if (move_.step >= move_.steps) return finish_view_move();
  const scene_moment m = scene_between(move_.from, move_.to, double(move_.step) / double(move_.steps));
  apply_scene(m.scene, m.fading_opacity);
  update();
}

void main_window::finish_view_move() {
  if (!move_.active) return;
  sfc_dialog::kill_timer(view_move_timer);
  // Destroying the covers lets other threads' messages in: the move ends only once they are gone.
  move_.covers.clear();
  move_.active = false;
  apply_scene(move_.to, 0);
}

xfc_custom_button* main_window::fading_button(int id) {
  if (id == IDC_MAIN_CHANGE_PROFILE) return &change_link_;
  if (id == IDC_MAIN_SCREENGRAB) return &screengrab_;
  return nullptr;
}

void main_window::fade_control(int id, bool visible, unsigned duration_ms) {
  xfc_custom_button* button = fading_button(id);
  for (control_fade& f : fades_)
    if (f.id == id) f.steps = f.step;  // a new fade of the same control takes over from here
  fade_step();
  const sfc_hwnd control(item(id));
  if (!button || duration_ms == 0 || !IsWindowVisible(hwnd_) || control.visible() == visible) {
    if (button) button->set_opacity(255);
    control.show(visible);
    return;
  }
  for (control_fade& f : fades_) {
    if (f.id != 0) continue;
    f = {id, visible, 0, std::max(1u, duration_ms / control_fade_step_ms)};
    if (visible) {
      button->set_opacity(0);
      control.show(true);
    }
    sfc_dialog::set_timer(control_fade_timer, control_fade_step_ms);
    return;
  }
}

void main_window::fade_step() {
  bool any = false;
  for (control_fade& f : fades_) {
    if (f.id == 0) continue;
    xfc_custom_button* button = fading_button(f.id);
    if (f.step < f.steps) ++f.step;
    // A fade cut short (steps == step) ends where it was going.
    const unsigned done = f.steps ? 255u * f.step / f.steps : 255u;
    button->set_opacity(BYTE(f.visible ? done : 255u - done));
    if (f.step < f.steps) {
      any = true;
      continue;
    }
    if (!f.visible) {
      button->show(false);
      button->set_opacity(255);
    }
    f.id = 0;
  }
  if (!any) sfc_dialog::kill_timer(control_fade_timer);
}

void main_window::finish_fades() {
  for (control_fade& f : fades_) f.steps = f.step;
  fade_step();
}
