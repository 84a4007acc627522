// What the model asks of the window: texts, states, the drop-downs, the dialogs and the capture.
#include <algorithm>

#include "toolkit/xfc_message_box.h"
#include "ui/dialog_test_config.h"
#include "ui/main_window.h"
#include "ui/window_capture.h"

namespace {
const wchar_t program_name[] = L"FOLVI Vezad";
constexpr int change_link_gap = 8;  // pixels between the configuration text and its link
}  // namespace

void main_window::set_text(int id, const std::wstring& text) {
  const sfc_hwnd control(item(id));
  control.set_text(text);
  control.invalidate();
}

void main_window::enable_control(int id, bool enabled) { sfc_hwnd(item(id)).enable(enabled); }

void main_window::focus_control(int id) {
  // The dialog's own way, so that the default button follows the focus.
  send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(id)), TRUE);
}

void main_window::set_title(const std::wstring& title) {
  sfc_dialog::set_text(title);
  // A title changed for a capture must be the one the frame shows.
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

void main_window::fill_presets(const std::vector<std::wstring>& items) {
  const sfc_hcombobox presets(item(IDC_MAIN_PRESETS));
  presets.clear();
  for (const std::wstring& text : items) presets.add(text);
}

void main_window::set_configuration_text(const std::wstring& text) {
  set_text(IDC_MAIN_CONFIGURATION, text);
  place_change_link();
}

// The link stands just after the configuration text, however long that is.
void main_window::place_change_link() {
  const sfc_hwnd text(item(IDC_MAIN_CONFIGURATION));
  const sfc_hwnd link(item(IDC_MAIN_CHANGE_PROFILE));
  RECT text_rect = text.rect_in_parent();
  RECT link_rect = link.rect_in_parent();
  const sfc_window_dc dc(text.hwnd());
  const sfc_selection font(dc.handle(), text.font());
  const SIZE extent = dc.text_extent(text.text());
  const SIZE link_extent = dc.text_extent(link.text());
  const int width = link_extent.cx + 4;
  int left = text_rect.left + extent.cx + change_link_gap;
  const RECT client = client_rect();
  if (left + width > client.right - change_link_gap) left = client.right - change_link_gap - width;
  link_rect.right = left + width;
  link_rect.left = left;
  link.move(link_rect);
  text_rect.right = std::max<LONG>(text_rect.left, left - change_link_gap / 2);
  text.move(text_rect);
  invalidate(true);
}

void main_window::show_presets(bool shown, int selected) {
  const sfc_hcombobox presets(item(IDC_MAIN_PRESETS));
  sfc_hwnd(item(IDC_MAIN_CONFIGURATION)).show(!shown);
  sfc_hwnd(item(IDC_MAIN_CHANGE_PROFILE)).show(!shown);
  if (!shown) {
    presets.show_list(false);
    presets.show(false);
    return;
  }
  presets.select(selected);
  presets.show(true);
  focus_control(IDC_MAIN_PRESETS);
  presets.show_list(true);
}

bool main_window::run_profile_dialog(test_config_model& dialog_model) {
  dialog_test_config dialog(dialog_model);
  return dialog.run(hwnd_);
}

int main_window::message_box(const std::wstring& text, uint32_t& flags, const std::wstring& caption) {
  message_box_request request;
  request.owner = hwnd_;
  request.caption = caption.empty() ? program_name : caption;
  request.text = text;
  request.flags = flags;
  const int answer = run_message_box(request);
  flags = request.flags;
  return answer;
}

bool main_window::choose_save_path(const save_request& request, std::wstring& path) {
  save_file_request r;
  r.owner = hwnd_;
  r.title = request.title;
  r.filter = request.filter;
  r.default_name = request.default_name;
  // The report's own question comes after the dialog.
  r.ask_before_replacing = false;
  return dialogs_.save_file(r, path);
}

void main_window::post_run_event(uintptr_t event, intptr_t serial) {
  const HWND window = posting_window_.load();
  if (window) PostMessageW(window, msg_run_event, WPARAM(event), LPARAM(serial));
}

bool main_window::capture(capture_target target, captured_image& image) {
  // What the user sees once every move has ended.
  finish_view_move();
  finish_fades();
  switch (target) {
    case capture_target::window: return capture_window(hwnd_, true, image);
    case capture_target::read_graph: return capture_window(read_graph_.hwnd(), false, image);
    case capture_target::write_graph: return capture_window(write_graph_.hwnd(), false, image);
  }
  return false;
}
