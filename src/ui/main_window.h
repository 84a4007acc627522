#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <memory>
#include <string>

#include "toolkit/fade_overlay.h"
#include "toolkit/file_dialogs.h"
#include "toolkit/menu_painter.h"
#include "toolkit/sfc_dialog.h"
#include "toolkit/sfc_gdi.h"
#include "toolkit/sfc_menu.h"
#include "toolkit/xfc_combobox.h"
#include "toolkit/xfc_custom_button.h"
#include "toolkit/xfc_custom_static.h"
#include "ui/location_box.h"
#include "ui/main_window_cb.h"
#include "ui/main_window_model.h"
#include "ui/pretty_graph.h"
#include "ui/raw_results.h"
#include "ui/view_scenes.h"

// The window's own timers, beside the model's (main_window_events.h).
constexpr UINT_PTR view_move_timer = 10;     // a step of a move between view states
constexpr UINT_PTR control_fade_timer = 11;  // a step of the fades of single controls
constexpr unsigned control_fade_step_ms = 16;

// The program's window (dialog 104): its controls over main_window_model, which decides
// everything; the window only moves values between the two, animates the view states, shows the
// popups and the dialogs, and captures itself for a screenshot.
class main_window final : public sfc_dialog, private main_window_cb {
 public:
  main_window(main_window_env& env, location_api& locations, file_dialogs& dialogs, const file_version& version,
              const web_server& web);
  ~main_window() override;

  // Modal until it is closed; what the model ended it with (-1 when it could not be shown).
  INT_PTR run(HWND owner = nullptr);

  main_window_model& model() { return model_; }
  // A move between view states is under way (its covers exist until it ends).
  bool view_moving() const { return move_.active; }

 protected:
  bool on_init() override;
  void on_destroy() override;
  void on_ok() override {}      // Enter never closes the main window
  void on_cancel() override {}  // nor does Esc
  void on_command(int id, int code, HWND control) override;
  void on_timer(UINT_PTR id) override;
  bool on_message(sfc_msg& m) override;

 private:
  // Set-up (main_window.cpp).
  void attach_controls();
  void style_controls();
  view_scene laid_out_scene() const;
  void paint_background(HDC dc) const;
  LRESULT static_colours(HDC dc, HWND control) const;

  // The view states and the fades of single controls (main_window_motion.cpp).
  void apply_scene(const view_scene& scene, int fading_opacity);
  void place_control(scene_control c, const scene_place& place);
  void set_client_height(int height);
  void view_step();
  void finish_view_move();
  void paint_scene();
  void fade_step();
  void finish_fades();
  xfc_custom_button* fading_button(int id);

  // Menus (main_window_menus.cpp).
  void load_menus();
  void show_screengrab_popup();
  void show_units_popup(HWND graph);
  void track_popup(HMENU popup, POINT at, UINT align);
  bool key_menu(sfc_msg& m);
  void menu_loop_ended();
  void show_menu_bar(bool shown);

  // main_window_cb (main_window_view.cpp).
  void set_items(const std::vector<std::wstring>& items) override { box_.set_items(items); }
  void append_item(const std::wstring& text) override { box_.append_item(text); }
  void remove_last_item() override { box_.remove_last_item(); }
  void select_item(int index) override { box_.select_item(index); }
  void enable_list(bool enabled) override { box_.enable_list(enabled); }
  void post_pick_request() override { box_.post_pick_request(); }
  void show_summary(const location_summary& summary) override { box_.show_summary(summary); }
  void set_configuration_text(const std::wstring& text) override;
  void show_presets(bool shown, int selected) override;
  bool run_profile_dialog(test_config_model& dialog) override;
  int message_box(const std::wstring& text, uint32_t& flags, const std::wstring& caption) override;
  bool choose_save_path(const save_request& request, std::wstring& path) override;
  bool window_alive() override { return alive_.load(); }
  void post_run_event(uintptr_t event, intptr_t serial) override;
  void set_text(int id, const std::wstring& text) override;
  void enable_control(int id, bool enabled) override;
  void fade_control(int id, bool visible, unsigned duration_ms) override;
  void focus_control(int id) override;
  void set_title(const std::wstring& title) override;
  void show_view(view_state state, view_move move) override;
  void fill_presets(const std::vector<std::wstring>& items) override;
  void clear_list() override { list_.clear(); }
  void add_rows(const raw_rows& rows, size_t first) override { list_.add_rows(rows, first); }
  void scroll_to_row(size_t row) override { list_.scroll_to_row(row); }
  void graph_changed(bool read) override { graph(read).invalidate(); }
  void set_graph_timer(bool read, graph_timer action) override { graph(read).apply_timer(action); }
  void set_timer(window_timer timer) override { sfc_dialog::set_timer(timer.id, timer.period_ms); }
  void kill_timer(unsigned id) override { sfc_dialog::kill_timer(id); }
  bool capture(capture_target target, captured_image& image) override;
  void end_dialog(int result) override { end(result); }

  pretty_graph& graph(bool read) { return read ? read_graph_ : write_graph_; }
  void place_change_link();

  main_window_env& env_;
  file_dialogs& dialogs_;
  main_window_model model_;
  std::atomic<bool> alive_{false};  // read by the run's thread
  std::atomic<HWND> posting_window_{nullptr};
  bool painted_whole_ = false;  // the first picture after the window was shown

  // Controls.
  location_box box_;
  xfc_combobox location_combo_, presets_combo_;
  xfc_text location_caption_, section_caption_;
  minor_button change_link_, switch_link_;
  image_button screengrab_;
  xfc_separator separator_;
  raw_results list_;
  pretty_graph read_graph_, write_graph_;
  sfc_bitmap screengrab_image_;
  sfc_brush white_brush_;

  // The view states: the scenes, the one shown, and a move under way.
  view_scenes scenes_{};
  view_state shown_state_ = view_ready;
  struct view_move_state {
    bool active = false;
    view_scene from, to;
    unsigned step = 0, steps = 1;
    fade_overlay covers;
  } move_;
  // Fades of the link and the screengrab button: opacity steps towards shown or hidden.
  struct control_fade {
    int id = 0;
    bool visible = false;
    unsigned step = 0, steps = 0;
  };
  std::array<control_fade, 2> fades_{};

  // Menus.
  sfc_menu menu_bar_, popups_;
  menu_painter painter_;
  bool menu_bar_shown_ = false;
  bool popup_open_ = false;
};
