#include "ui_drive.h"

#include "list_view_remote.h"
#include "window_driver.h"
#include "window_find.h"
#include "window_io.h"

void type_text(HWND edit, const std::wstring& text) {
  SendMessageW(edit, EM_SETSEL, 0, -1);
  if (text.empty()) {
    SendMessageW(edit, WM_CHAR, VK_BACK, 0);
    return;
  }
  for (wchar_t c : text) SendMessageW(edit, WM_CHAR, c, 1);
}

namespace {
void notify_parent(HWND combo, int code) {
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), code), LPARAM(combo));
}
}  // namespace

void pick_from_list(HWND combo, int index, bool confirmed) {
  notify_parent(combo, CBN_DROPDOWN);
  const LRESULT last = SendMessageW(combo, CB_GETCOUNT, 0, 0) - 1;
  SendMessageW(combo, CB_SETCURSEL, WPARAM(index < 0 ? last : index), 0);
  notify_parent(combo, confirmed ? CBN_SELENDOK : CBN_SELENDCANCEL);
  notify_parent(combo, CBN_CLOSEUP);
}

void post_click(HWND button) {
  PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), LPARAM(button));
}

std::wstring control_text(HWND window, int id) { return window_text(GetDlgItem(window, id)); }

HWND wait_for_window(const std::string& title) {
  window_query query;
  query.title = title;
  query.pid = GetCurrentProcessId();
  std::vector<HWND> found;
  wait_until([&] { return !(found = find_top_level_windows(query)).empty(); });
  return found.empty() ? nullptr : found.front();
}

std::vector<std::vector<std::wstring>> list_rows(HWND list) {
  std::vector<std::vector<std::wstring>> rows;
  std::string error;
  return list_view_rows(list, rows, error) ? rows : std::vector<std::vector<std::wstring>>{};
}

std::vector<std::wstring> combo_items(HWND combo) {
  std::vector<std::wstring> items;
  std::string error;
  return combo_items(combo, items, error) ? items : std::vector<std::wstring>{};
}
