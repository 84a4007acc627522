#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/file_dialogs.h"
#include "storage/location_list.h"

// The location box (combo box 1338) and the five summary lines (statics 1052 to 1056) of a
// window, as location_list shows them. The window forwards the box's notifications to
// location_list (see location_list_cb) and answers msg_pick_folder with pick_folder().
class location_box final : public location_list_cb {
 public:
  // Finds the controls in `window` by their ids; the pick request is posted to `window`.
  void attach(HWND window);

  void set_items(const std::vector<std::wstring>& items) override;
  void append_item(const std::wstring& text) override;
  void remove_last_item() override;
  void select_item(int index) override;
  void enable_list(bool enabled) override;
  void post_pick_request() override;
  void show_summary(const location_summary& summary) override;

  // The folder picker over the window, once the list has closed; empty when it was cancelled.
  std::wstring pick_folder(file_dialogs& dialogs) const;
  int selection() const;

 private:
  HWND window_ = nullptr;
  HWND box_ = nullptr;
};
