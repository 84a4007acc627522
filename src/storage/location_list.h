#pragma once

#include <string>
#include <vector>

#include "storage/storage_model.h"
#include "storage/location_api.h"
#include "storage/location_summary.h"

// What the location list asks of the main window: the location box (control 1338), the five
// summary lines (1052 to 1056) and the private message that opens the folder picker.
// The window forwards to location_list:
//   CBN_DROPDOWN -> dropped_down(), CBN_CLOSEUP -> closed_up(),
//   CBN_SELENDOK -> confirmed(the box's selection),
//   WM_USER+1    -> runs the folder picker titled location_picker_title, then picked(the folder,
//                   or an empty text when the picker was cancelled or failed).
class location_list_cb {
 public:
  virtual ~location_list_cb() = default;
  virtual void set_items(const std::vector<std::wstring>& items) = 0;  // replaces the whole list
  virtual void append_item(const std::wstring& text) = 0;
  virtual void remove_last_item() = 0;
  virtual void select_item(int index) = 0;  // -1: none
  virtual void enable_list(bool enabled) = 0;
  // Posts WM_USER+1, so that the picker opens once the drop-down list has closed.
  virtual void post_pick_request() = 0;
  virtual void show_summary(const location_summary& summary) = 0;
};

extern const wchar_t location_scanning_text[];
extern const wchar_t location_add_text[];
extern const wchar_t location_picker_title[];

// The location box's items and selection, and the summary of the selected location.
class location_list {
 public:
  explicit location_list(location_api& api) : api_(api) {}

  // While the storage scan runs: one disabled item saying so, and the fallback summary.
  void start_scan(location_list_cb& view);
  // The scan ended: the drive roots, the first one selected and summarised. The stack must
  // outlive its use here (the main window keeps it until the next scan).
  void scan_done(location_list_cb& view, const storage_stack* stack);

  void dropped_down(location_list_cb& view);
  void closed_up(location_list_cb& view);
  void confirmed(location_list_cb& view, int index);
  // The folder the user picked, or empty when the picker was cancelled.
  void picked(location_list_cb& view, const std::wstring& folder);

  const std::vector<std::wstring>& items() const { return items_; }
  int selected() const { return selected_; }
  std::wstring location() const;  // the selected item's text, empty when none
  const location_summary& summary() const { return summary_; }

 private:
  void refresh(location_list_cb& view);
  void remove_add_item(location_list_cb& view);

  location_api& api_;
  const storage_stack* stack_ = nullptr;
  bool scanned_ = false;
  std::vector<std::wstring> items_;  // without "Add custom location..."
  int selected_ = -1;
  bool add_item_shown_ = false;
  location_summary summary_;
};

// A picked folder as a location: "\\?\" and "\\?\UNC\" prefixes taken off, slashes turned into
// backslashes, exactly one trailing backslash ("C:" becomes "C:\"). Empty for an empty text.
std::wstring normalize_location(const std::wstring& folder);
// Case-insensitive, after normalising both.
bool same_location(const std::wstring& a, const std::wstring& b);
