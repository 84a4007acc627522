#include "ui/location_box.h"

#include "toolkit/sfc_hwnd.h"
#include "resource_ids.h"
#include "ui/main_window_events.h"

namespace {
constexpr int summary_line_ids[] = {IDC_MAIN_FILE_SYSTEM, IDC_MAIN_VOLUME, IDC_MAIN_DEVICE, IDC_MAIN_CONTROLLER,
                                    IDC_MAIN_HOST_OS};
}  // namespace

void location_box::attach(HWND window) {
  window_ = window;
  box_ = GetDlgItem(window, IDC_MAIN_LOCATION);
}

void location_box::set_items(const std::vector<std::wstring>& items) {
  const sfc_hcombobox box(box_);
  box.clear();
  for (const std::wstring& text : items) box.add(text);
}

void location_box::append_item(const std::wstring& text) { sfc_hcombobox(box_).add(text); }

void location_box::remove_last_item() {
  const sfc_hcombobox box(box_);
  if (box.count() > 0) box.remove(box.count() - 1);
}

void location_box::select_item(int index) { sfc_hcombobox(box_).select(index); }

void location_box::enable_list(bool enabled) { EnableWindow(box_, enabled); }

void location_box::post_pick_request() { PostMessageW(window_, msg_pick_folder, 0, 0); }

void location_box::show_summary(const location_summary& summary) {
  const std::wstring* lines[] = {&summary.file_system, &summary.volume, &summary.device, &summary.controller,
                                 &summary.host_os};
  for (size_t i = 0; i < 5; ++i) SetDlgItemTextW(window_, summary_line_ids[i], lines[i]->c_str());
}

int location_box::selection() const { return sfc_hcombobox(box_).selection(); }

std::wstring location_box::pick_folder(file_dialogs& dialogs) const {
  folder_request request;
  request.owner = window_;
  request.title = location_picker_title;
  std::wstring folder;
  return dialogs.pick_folder(request, folder) ? folder : std::wstring();
}
