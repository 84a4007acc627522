#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

// Drives the calling (user-interface) thread's windows from a second thread, the way a user
// would: it waits for a visible top-level window with a given caption, then runs a script on
// it while the user-interface thread sits in its modal loop.
class window_driver {
 public:
  window_driver(const std::wstring& caption, std::function<void(HWND)> script);
  ~window_driver();
  window_driver(const window_driver&) = delete;
  window_driver& operator=(const window_driver&) = delete;
  // Joins the driving thread; true when the window appeared and the script ran.
  bool finish();

 private:
  DWORD ui_thread_;
  std::thread thread_;
  bool found_ = false;
};

// Waits (up to a generous limit, so a broken test fails rather than hangs) until `ready` holds.
bool wait_until(const std::function<bool()>& ready);

// Keys go through the user-interface thread's message loop to its focused window, as typed keys do.
void post_key(HWND window, UINT virtual_key);
// The caption's close box.
inline void post_close(HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }
// A click handled before this returns.
inline void click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
std::wstring window_text(HWND window);
