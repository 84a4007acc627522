#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Ends the window under test when a driving script ends, however it ends: a failed assertion
// returns early, and the window's modal loop must not wait for a click that never comes.
class closes_at_end {
 public:
  explicit closes_at_end(HWND window) : window_(window) {}
  ~closes_at_end() {
    if (IsWindow(window_)) PostMessageW(window_, WM_COMMAND, IDCANCEL, 0);
  }
  closes_at_end(const closes_at_end&) = delete;
  closes_at_end& operator=(const closes_at_end&) = delete;

 private:
  HWND window_;
};

// A user's actions on another thread's windows, sent from the driving thread the way
// ui-driver sends them, and what the screen shows.

// Replaces the edit's whole text, one typed character at a time (each one an EN_CHANGE).
void type_text(HWND edit, const std::wstring& text);
// The notifications a combo box sends its parent when the user opens its list, picks `index`
// (-1: the last item) and closes it with Enter (confirmed) or Esc. Sent as the control sends them,
// so that no other window taking the focus can close the list on the way.
void pick_from_list(HWND combo, int index, bool confirmed = true);
// For a click whose handler opens a modal window: the driving thread must not wait for it.
void post_click(HWND button);
std::wstring control_text(HWND window, int id);
// A visible top-level window of this process with this title, once it is there (null if not);
// found and read as ui-driver finds and reads them.
HWND wait_for_window(const std::string& title);
std::vector<std::wstring> combo_items(HWND combo);
// Every row of a list view, a text per column (empty when it cannot be read).
std::vector<std::vector<std::wstring>> list_rows(HWND list);
