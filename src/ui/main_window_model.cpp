#include "ui/main_window_model.h"

#include "results/evaluation.h"
#include "results/raw_texts.h"
#include "results/report_build.h"
#include "support/fatal.h"
#include "support/format_string.h"
#include "support/paths.h"
#include "ui/graph_style.h"
#include "ui/main_window_texts.h"
#include "support/message_box_flags.h"

namespace {
// The scan's timer and the run's, and the one-shot timers: all of them end with the window.
const unsigned window_timers[] = {scan_poll_timer.id, run_poll_timer.id, focus_start_timer.id, screenshot_timer.id,
                                  screengrab_return_timer.id};

// The error box of the main window: one OK button and the error icon.
constexpr uint32_t error_box_flags = mb_icon_error | mb_ok;

std::wstring preparing_status(const init_progress_info& progress) {
  std::wstring text = status_preparing;
  // Nothing to divide by before the runner has said how much there is to do.
  if (progress.done != 0 && progress.total != 0)
    text += format_string(status_progress_format, double(progress.done) * 100.0 / double(progress.total));
  return text;
}

// A network path, or a drive letter mapped to one.
bool is_remote_location(location_api& api, const std::wstring& location) {
  const parsed_path p = parse_path(location);
  return p.kind == path_kind_unc || (p.kind == path_kind_drive && api.is_remote_drive(p.root));
}
}  // namespace

std::wstring web_page_url(const web_server& server, const wchar_t* path) {
  std::wstring url = (server.tls ? L"https://" : L"http://") + server.host;
  if (server.port != 0 && server.port != (server.tls ? 443 : 80)) url += format_string(L":%u", unsigned(server.port));
  return url + path;
}

main_window_model::main_window_model(main_window_cb& view, main_window_env& env, location_api& locations,
                                     const file_version& version, const web_server& web)
    : view_(view),
      env_(env),
      location_api_(locations),
      version_(version),
      web_(web),
      location_list_(locations),
      poster_(view),
      results_(&poster_) {}

void main_window_model::set_start_button(const wchar_t* label, bool enabled) {
  view_.set_text(IDC_MAIN_START, label);
  view_.enable_control(IDC_MAIN_START, enabled);
}

void main_window_model::set_status(const std::wstring& text) { view_.set_text(IDC_MAIN_STATUS, text); }

void main_window_model::move_view(view_state state, view_move move) {
  if (state == view_state_) return;
  view_state_ = state;
  view_.show_view(state, move);
}

void main_window_model::init(size_t rows_per_page) {
  rows_per_page_ = rows_per_page;
  read_graph_.set_title(graph_read_title);
  write_graph_.set_title(graph_write_title);
  profile_.init(view_);
  std::vector<std::wstring> items;
  for (const preset_item& item : profile_.items()) items.push_back(item.text);
  view_.fill_presets(items);
  set_status(status_none);
  view_state_ = view_ready;
  view_.show_view(view_ready, view_instant);
  set_units(false);

  phase_ = window_phase::scanning;
  location_list_.start_scan(view_);
  set_start_button(start_label_cancel, true);
  // A scan that could not start has ended with nothing: the first tick takes that.
  env_.start_scan(version_.full());
  view_.set_timer(scan_poll_timer);
}

void main_window_model::scan_polled() {
  if (phase_ != window_phase::scanning || !env_.scan_ended()) return;
  view_.kill_timer(scan_poll_timer.id);
  scan_outcome outcome = env_.take_scan();
  stack_ = std::move(outcome.stack);
  scan_text_ = std::move(outcome.log_text);
  location_list_.scan_done(view_, stack_.get());
  enter_ready();
}

void main_window_model::enter_ready() {
  phase_ = window_phase::ready;
  move_view(view_ready, view_to_ready);
  view_.clear_list();
  set_start_button(start_label_start, true);
  set_status(status_ready);
  if (change_link_hidden_) {
    change_link_hidden_ = false;
    view_.fade_control(IDC_MAIN_CHANGE_PROFILE, true, change_link_fade_ms);
  }
  view_.enable_list(true);
}

void main_window_model::start_pressed(bool control_held) {
  switch (phase_) {
    case window_phase::scanning: close(false); break;
    case window_phase::ready: start_test(); break;
    case window_phase::running:
      results_.request_stop(control_held ? stop_kind::end_run : stop_kind::end_phase);
      set_start_button(start_label_cancelling, false);
      break;
    case window_phase::finished: enter_ready(); break;
    case window_phase::closed: break;
  }
}

void main_window_model::start_test() {
  if (run_active_) fatal("main_window::start_test");
  // Without a folder to hold it the test file would land wherever the path leads.
  const std::wstring location = location_list_.location();
  if (location.empty() || !location_api_.exists(location)) {
    uint32_t flags = error_box_flags;
    view_.message_box(
        location.empty() ? location_none_text : location_missing_before + location + location_missing_after, flags,
        L"");
    return;
  }
  run_profile_ = profile_.profile();
  run_profile_.path = location;
  run_profile_.remote = is_remote_location(location_api_, location);
  run_location_ = location;
  results_.start_run(run_profile_);
  runner_ok_ = false;

  profile_.hide(view_);
  view_.enable_list(false);
  set_start_button(start_label_cancel, true);
  set_status(status_starting);
  for (bool read : {true, false}) {
    view_.set_graph_timer(read, graph(read).reset_run());
    view_.graph_changed(read);
  }
  view_.set_text(IDC_MAIN_SWITCH_VIEW, switch_to_list);
  change_link_hidden_ = true;
  view_.fade_control(IDC_MAIN_CHANGE_PROFILE, false, change_link_fade_ms);
  move_view(view_running_graphs, view_to_run);

  phase_ = window_phase::running;
  poster_.set_serial(++run_serial_);
  if (!env_.start_run(run_profile_, results_)) {
    finish_test();
    return;
  }
  run_active_ = true;
  view_.set_timer(run_poll_timer);
}

void main_window_model::carry_results_over() {
  const new_results first = results_.take_pending_results();
  if (results_.rows().size() > first.first_row) view_.add_rows(results_.rows(), first.first_row);
  if (results_.read_results().size() > first.first_read) view_.graph_changed(true);
  if (results_.write_results().size() > first.first_write) view_.graph_changed(false);
}

void main_window_model::check_test_status() {
  if (!run_active_) fatal("main_window::check_test_status");
  carry_results_over();
  if (results_.run_phase() == 0) set_status(preparing_status(results_.init_progress()));
  if (env_.run_ended()) finish_test();
}

void main_window_model::finish_test() {
  // The join dispatches messages: a poll that comes meanwhile must find the run already ending.
  const bool joining = run_active_;
  run_active_ = false;
  if (joining) runner_ok_ = env_.join_run();
  // What the run handed over between the last tick and its end.
  carry_results_over();
  phase_ = window_phase::finished;
  set_start_button(start_label_ok, true);
  view_.set_timer(focus_start_timer);
  view_.kill_timer(run_poll_timer.id);

  const bool stopped = results_.stop_request() != stop_kind::none;
  if (!report_due(runner_ok_, stopped)) {
    set_status(status_failed);
    return;
  }
  const size_t first_new_row = results_.rows().size();
  const size_t block = results_.add_best_block();
  const size_t top_row = results_.rows().fill_page(block, rows_per_page_);
  view_.add_rows(results_.rows(), first_new_row);
  view_.scroll_to_row(top_row);

  run_time_ = env_.local_time();
  std::string report;
  build_report(
      env_.host_facts(), run_time_,
      {run_profile_, results_.read_results(), results_.write_results(), location_list_.summary().storage_facts},
      report);
  history_.keep(report, report_shareable(results_.read_results().size(), results_.planned_reads(),
                                         results_.write_results().size(), results_.planned_writes()));
  set_status(stopped ? status_cancelled : status_completed);

  // Whether a graph has a scale: judged from its results, since the last of them reach the
  // graphs only with the paint that follows.
  if (summarize_direction(results_.read_results()).best_rate == 0 &&
      summarize_direction(results_.write_results()).best_rate == 0)
    return;
  if (view_state_ != view_running_list && view_state_ != view_running_graphs) fatal("main_window::finish_test");
  move_view(view_state(view_state_ - view_running_offset), view_to_done);
}

void main_window_model::run_event(uintptr_t event, intptr_t serial) {
  // Events of an earlier run, or ones that arrive after the run's end, change nothing.
  if (phase_ != window_phase::running || serial != run_serial_) return;
  switch (event) {
    case run_event_read_phase:
    case run_event_write_phase: {
      const bool read = event == run_event_read_phase;
      graph(read).set_planned(read ? results_.planned_reads() : results_.planned_writes());
      view_.graph_changed(read);
      set_status(read ? status_running_reads : status_running_writes);
      break;
    }
    case run_event_cancel_again:
      set_start_button(start_label_cancel, true);
      view_.set_timer(focus_start_timer);
      break;
  }
}

void main_window_model::timer(unsigned id) {
  if (phase_ == window_phase::closed) return;
  if (id == scan_poll_timer.id) {
    scan_polled();
  } else if (id == run_poll_timer.id) {
    if (phase_ == window_phase::running && run_active_) check_test_status();
  } else if (id == focus_start_timer.id) {
    view_.kill_timer(id);
    view_.focus_control(IDC_MAIN_START);
  } else if (id == screenshot_timer.id) {
    make_screenshot();
  } else if (id == screengrab_return_timer.id) {
    view_.kill_timer(id);
    view_.fade_control(IDC_MAIN_SCREENGRAB, true, 0);
  }
}

void main_window_model::close(bool forced) {
  if (phase_ == window_phase::closed) return;
  view_.end_dialog(1);
  const bool running = run_active_;
  if (running) results_.request_stop(stop_kind::end_run);
  // From here on timers and the run's events find a closed window.
  phase_ = window_phase::closed;
  for (unsigned id : window_timers) view_.kill_timer(id);
  if (!forced && !history_.shareable_reports.empty() && env_.share_prompt_allowed())
    env_.offer_share(history_.joined(), scan_text_);
  if (running) {
    runner_ok_ = env_.join_run();
    run_active_ = false;
  }
}
