#include "support/fatal.h"
#include "ui/main_window_model.h"
#include "ui/main_window_texts.h"
#include "ui/screenshot_image.h"
#include "results/report_action_texts.h"
#include "support/message_box_flags.h"

namespace {
// Question icon, OK and Cancel, the first the default, a "Don't ask again" box that disables
// Cancel while ticked, brought to the front.
constexpr uint32_t share_question_flags =
    mb_bring_to_front | mb_check_disables_second | mb_default_first | mb_icon_question | mb_ok_cancel;
}  // namespace

void main_window_model::view_report() {
  if (report_ready()) view_text_in_notepad(env_.report_files(), view_, history_.last_report, report_stem);
}

void main_window_model::save_report() {
  if (report_ready()) save_report_as(env_.report_files(), view_, history_.last_report, run_time_, run_location_);
}

void main_window_model::share_screenshot() {
  if (!report_ready() || pending_screengrab_command_ != 0) return;
  if (confirm_share_screenshot_) {
    uint32_t flags = share_question_flags;
    if (view_.message_box(share_screenshot_question, flags, main_window_title) != mb_answer_ok) return;
    if (flags & mb_check_disables_second) confirm_share_screenshot_ = false;
  }
  // The capture waits until the popup menu has gone from the screen.
  pending_screengrab_command_ = ID_SCREENGRAB_SHARE_SCREENSHOT;
  view_.set_timer(screenshot_timer);
}

bool main_window_model::capture_all(screenshot_set& images) {
  const std::pair<capture_target, std::string*> shots[] = {
      {capture_target::window, &images.window},
      {capture_target::read_graph, &images.read_graph},
      {capture_target::write_graph, &images.write_graph},
  };
  for (const auto& shot : shots) {
    captured_image image;
    if (!view_.capture(shot.first, image)) return false;
    *shot.second = bmp_file(image);
    if (shot.second->empty()) return false;
  }
  return true;
}

void main_window_model::make_screenshot() {
  view_.kill_timer(screenshot_timer.id);
  view_.fade_control(IDC_MAIN_SCREENGRAB, false, screengrab_fade_ms);
  view_.set_title(screenshot_title(main_window_title, version_.short_form()));
  const std::wstring volume = location_list_.summary().volume;
  const std::wstring masked = mask_volume_serial(volume);
  if (masked != volume) view_.set_text(IDC_MAIN_VOLUME, masked);

  screenshot_set images;
  const bool captured = capture_all(images);

  if (masked != volume) view_.set_text(IDC_MAIN_VOLUME, volume);
  view_.set_title(main_window_title);
  if (captured) {
    if (pending_screengrab_command_ != ID_SCREENGRAB_SHARE_SCREENSHOT) fatal("main_window::make_screenshot");
    env_.share_screenshot(images, history_.last_report, scan_text_);
  } else {
    uint32_t flags = report_error_box_flags;
    view_.message_box(capture_failed_text, flags, L"");
  }
  view_.set_timer(screengrab_return_timer);
  pending_screengrab_command_ = 0;
}
