#include "storage/location_list.h"

#include <cwchar>
#include <cwctype>

const wchar_t location_scanning_text[] = L"Scanning the storage stack, please wait...";
const wchar_t location_add_text[] = L"Add custom location...";
const wchar_t location_picker_title[] = L"Pick location for the test file";

namespace {
bool starts_with(const std::wstring& s, const wchar_t* prefix) {
  return s.compare(0, std::wcslen(prefix), prefix) == 0;
}

bool is_drive_letter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

std::wstring upper(std::wstring s) {
  for (wchar_t& c : s) c = wchar_t(std::towupper(c));
  return s;
}
}  // namespace

std::wstring normalize_location(const std::wstring& folder) {
  std::wstring path = folder;
  if (starts_with(path, L"\\\\?\\UNC\\")) {
    path = L"\\\\" + path.substr(8);
  } else if (starts_with(path, L"\\\\?\\") && path.size() >= 6 && is_drive_letter(path[4]) && path[5] == L':') {
    path = path.substr(4);
  } else if (starts_with(path, L"\\\\?\\") || starts_with(path, L"\\\\.\\")) {
    // A volume or device name: its slashes are part of the name; only the trailing backslash.
    if (path.back() != L'\\') path += L'\\';
    return path;
  }
  if (path.empty()) return path;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  if (path.size() >= 2 && is_drive_letter(path[0]) && path[1] == L':') path[0] = wchar_t(std::towupper(path[0]));
  // Exactly one trailing backslash; the leading pair of a share name stays.
  size_t end = path.size();
  while (end > 3 && path[end - 1] == L'\\') --end;
  path.resize(end);
  if (path.back() != L'\\') path += L'\\';
  return path;
}

bool same_location(const std::wstring& a, const std::wstring& b) {
  return upper(normalize_location(a)) == upper(normalize_location(b));
}

std::wstring location_list::location() const {
  return selected_ >= 0 && size_t(selected_) < items_.size() ? items_[size_t(selected_)] : std::wstring();
}

void location_list::refresh(location_list_cb& view) {
  summary_ = refresh_summary(api_, scanned_ ? stack_ : nullptr, location());
  view.show_summary(summary_);
}

void location_list::start_scan(location_list_cb& view) {
  scanned_ = false;
  stack_ = nullptr;
  add_item_shown_ = false;
  items_ = {location_scanning_text};
  selected_ = 0;
  view.set_items(items_);
  view.select_item(0);
  view.enable_list(false);
  refresh(view);
}

void location_list::scan_done(location_list_cb& view, const storage_stack* stack) {
  scanned_ = true;
  stack_ = stack;
  add_item_shown_ = false;
  items_ = stack ? location_roots(*stack) : std::vector<std::wstring>();
  selected_ = items_.empty() ? -1 : 0;
  view.set_items(items_);
  view.select_item(selected_);
  view.enable_list(true);
  refresh(view);
}

void location_list::dropped_down(location_list_cb& view) {
  if (!scanned_ || add_item_shown_) return;
  add_item_shown_ = true;
  view.append_item(location_add_text);
}

void location_list::remove_add_item(location_list_cb& view) {
  if (!add_item_shown_) return;
  add_item_shown_ = false;
  view.remove_last_item();
}

void location_list::closed_up(location_list_cb& view) {
  remove_add_item(view);
  // Removing the add item may have taken the box's selection with it.
  view.select_item(selected_);
}

void location_list::confirmed(location_list_cb& view, int index) {
  if (!scanned_) return;
  if (index == int(items_.size())) {
    // The add item: the picker opens once the list has closed; the selection stays until then.
    view.post_pick_request();
    return;
  }
  if (index < 0 || index > int(items_.size())) {
    view.select_item(selected_);
    return;
  }
  selected_ = index;
  refresh(view);
}

void location_list::picked(location_list_cb& view, const std::wstring& folder) {
  if (!scanned_) return;
  remove_add_item(view);
  const std::wstring location = normalize_location(folder);
  if (!location.empty()) {
    int found = -1;
    for (size_t i = 0; i < items_.size() && found < 0; ++i)
      if (same_location(items_[i], location)) found = int(i);
    if (found < 0) {
      items_.push_back(location);
      view.append_item(location);
      found = int(items_.size()) - 1;
    }
    selected_ = found;
  }
  // Cancelled: the previous location stays selected, never another drive's.
  view.select_item(selected_);
  refresh(view);
}
