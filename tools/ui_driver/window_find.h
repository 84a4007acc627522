#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct window_query {
  std::string title;  // pattern; empty matches any
  std::string klass;  // pattern; empty matches any
  bool any_process = false;
  DWORD pid = 0;  // the target's, unless any_process
};

// Visible top-level windows that match, front to back.
std::vector<HWND> find_top_level_windows(const window_query& query);
// The first control with this id among the window's descendants, visible ones first; null if none.
HWND find_control(HWND window, int id);
// Every descendant control, in creation order.
std::vector<HWND> child_controls(HWND window);

std::string class_of(HWND window);
// The title as the window manager keeps it, without asking the window.
std::string title_of(HWND window);
// "0x0001005C #32770 "Title"".
std::string describe_window(HWND window);
DWORD process_of(HWND window);
