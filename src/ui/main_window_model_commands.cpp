#include "ui/main_window_model.h"

#include "support/format_string.h"
#include "support/text.h"
#include "ui/main_window_texts.h"
#include "support/message_box_flags.h"

namespace {
constexpr uint32_t about_box_flags = mb_icon_information | mb_ok;
}  // namespace

bool main_window_model::command(int id, control_event event, int selection, bool control_held) {
  switch (id) {
    case IDC_MAIN_START:
      if (event == control_event::clicked) start_pressed(control_held);
      return true;
    case IDC_MAIN_LOCATION: location_event(event, selection); return true;
    case IDC_MAIN_CHANGE_PROFILE:
      if (event == control_event::clicked && phase_ != window_phase::running && phase_ != window_phase::closed)
        profile_.change(view_);
      return true;
    case IDC_MAIN_PRESETS: preset_event(event, selection); return true;
    case IDC_MAIN_SWITCH_VIEW:
      if (event == control_event::clicked) switch_view();
      return true;
    case ID_HELP_HOMEPAGE: env_.open_url(web_page_url(web_, homepage_path)); return true;
    case ID_HELP_METHODOLOGY: env_.open_url(web_page_url(web_, methodology_path)); return true;
    case ID_HELP_ABOUT: show_about(); return true;
    case ID_FILE_EXIT: close(false); return true;
    case ID_SCREENGRAB_VIEW_REPORT: view_report(); return true;
    case ID_SCREENGRAB_SAVE_REPORT: save_report(); return true;
    case ID_SCREENGRAB_SHARE_SCREENSHOT: share_screenshot(); return true;
    case ID_UNITS_1024: set_units(false); return true;
    case ID_UNITS_1000: set_units(true); return true;
    default: return false;
  }
}

void main_window_model::location_event(control_event event, int selection) {
  // The box is disabled from the start of a run until the ready state.
  if (phase_ != window_phase::scanning && phase_ != window_phase::ready) return;
  switch (event) {
    case control_event::dropped_down: location_list_.dropped_down(view_); break;
    case control_event::closed_up: location_list_.closed_up(view_); break;
    case control_event::confirmed: location_list_.confirmed(view_, selection); break;
    case control_event::clicked: break;
  }
}

void main_window_model::folder_picked(const std::wstring& folder) {
  if (phase_ == window_phase::ready) location_list_.picked(view_, folder);
}

void main_window_model::preset_event(control_event event, int selection) {
  if (phase_ == window_phase::running || phase_ == window_phase::closed) return;
  if (event == control_event::confirmed) profile_.chosen(view_, selection);
  else if (event == control_event::closed_up) profile_.closed(view_);
}

void main_window_model::switch_view() {
  if (view_state_ == view_ready) return;
  const view_state next = view_state(view_state_ ^ view_graphs_bit);
  move_view(next, view_instant);
  view_.set_text(IDC_MAIN_SWITCH_VIEW, (next & view_graphs_bit) ? switch_to_list : switch_to_graphs);
}

void main_window_model::set_units(bool decimal) {
  decimal_units_ = decimal;
  for (bool read : {true, false}) {
    graph(read).set_decimal_units(decimal);
    view_.graph_changed(read);
  }
}

void main_window_model::show_about() {
  uint32_t flags = about_box_flags;
  view_.message_box(format_string(about_format, from_utf8(version_.short_form()).c_str()), flags, L"");
}
