#pragma once

#include <cstddef>
#include <string>

#include "results/raw_rows.h"
#include "storage/location_list.h"
#include "resource_ids.h"
#include "ui/main_window_events.h"
#include "ui/view_states.h"
#include "ui/pretty_graph_model.h"
#include "ui/profile_choice.h"
#include "results/report_actions.h"
#include "ui/run_poster.h"
#include "toolkit/bmp_file.h"

enum class capture_target { window, read_graph, write_graph };

// What main_window_model asks of the window of dialog 104. The window only moves values between
// its controls and the model:
//   WM_INITDIALOG       -> attaches the controls, cuts the list to whole rows (rows_per_page()),
//                          then main_window_model::init
//   WM_COMMAND          -> main_window_model::command with the control or menu id, the event
//                          (BN_CLICKED and menu items: clicked; CBN_DROPDOWN: dropped_down;
//                          CBN_CLOSEUP and CBN_SELENDCANCEL: closed_up; CBN_SELENDOK: confirmed,
//                          with the combo box's selection) and whether Ctrl is held now
//   WM_TIMER            -> main_window_model::timer
//   msg_pick_folder     -> the folder picker, then main_window_model::folder_picked
//   msg_units_popup     -> the "Units" popup at the graph's top-right corner, checked by
//                          main_window_model::decimal_units; its choice comes back as a command
//   msg_run_event       -> main_window_model::run_event(wParam, lParam)
//   SC_CLOSE            -> main_window_model::close(false); WM_ENDSESSION with its flag set ->
//                          close(true)
//   IDOK and IDCANCEL   -> nothing: Enter and Esc never close the main window
// The graphs paint main_window_model::graph() with the results of their direction; the list's
// custom drawing reads main_window_model::results().rows().
class main_window_cb : public location_list_cb, public profile_choice_cb, public user_prompt_cb, public run_post_cb {
 public:
  virtual void set_text(int id, const std::wstring& text) = 0;
  virtual void enable_control(int id, bool enabled) = 0;
  // Shows or hides a control, fading it over duration_ms (0: at once).
  virtual void fade_control(int id, bool visible, unsigned duration_ms) = 0;
  virtual void focus_control(int id) = 0;
  virtual void set_title(const std::wstring& title) = 0;
  // Moves the fade overlay to a scene; view_instant jumps there.
  virtual void show_view(view_state state, view_move move) = 0;

  virtual void fill_presets(const std::vector<std::wstring>& items) = 0;

  // The results list: emptied with its vertical scroll bar shown; rows appended from `first` on
  // (each scrolled into view only when the list was at its end before, see list_at_end); a row
  // scrolled into view.
  virtual void clear_list() = 0;
  virtual void add_rows(const raw_rows& rows, size_t first) = 0;
  virtual void scroll_to_row(size_t row) = 0;

  // A graph's model changed: repaint it. Its animation timer as the model's answer says.
  virtual void graph_changed(bool read) = 0;
  virtual void set_graph_timer(bool read, graph_timer action) = 0;

  virtual void set_timer(window_timer timer) = 0;
  virtual void kill_timer(unsigned id) = 0;

  // The window's own image (the whole window by its frame, a graph by its client area), taken
  // from its own device context whatever covers it on the screen.
  virtual bool capture(capture_target target, captured_image& image) = 0;
  // Ends the modal loop with this result once the current message has been handled.
  virtual void end_dialog(int result) = 0;
};
