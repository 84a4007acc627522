#include "window_driver.h"

#include <cstdlib>
#include <vector>

namespace {
struct search {
  const std::wstring* caption;
  HWND found;
};

BOOL CALLBACK match_caption(HWND hwnd, LPARAM param) {
  auto* s = reinterpret_cast<search*>(param);
  if (IsWindowVisible(hwnd) && window_text(hwnd) == *s->caption) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}
DWORD pause_ms() {
  wchar_t value[16] = {};
  return GetEnvironmentVariableW(L"FOLVI_UI_PAUSE_MS", value, 16) ? DWORD(_wtoi(value)) : 0;
}
}  // namespace

std::wstring window_text(HWND window) {
  std::vector<wchar_t> buffer(4096);
  const int n = GetWindowTextW(window, buffer.data(), int(buffer.size()));
  return std::wstring(buffer.data(), n > 0 ? size_t(n) : 0);
}

bool wait_until(const std::function<bool()>& ready) {
  for (int i = 0; i < 3000; ++i) {
    if (ready()) return true;
    Sleep(10);
  }
  return ready();
}

window_driver::window_driver(const std::wstring& caption, std::function<void(HWND)> script)
    : ui_thread_(GetCurrentThreadId()) {
  thread_ = std::thread([this, caption, script] {
    search s{&caption, nullptr};
    found_ = wait_until([&] {
      EnumThreadWindows(ui_thread_, match_caption, reinterpret_cast<LPARAM>(&s));
      return s.found != nullptr;
    });
    // FOLVI_UI_PAUSE_MS holds the window up before the script acts, to look at it or take a picture.
    if (found_ && pause_ms()) Sleep(pause_ms());
    if (found_) script(s.found);
  });
}

window_driver::~window_driver() { finish(); }

bool window_driver::finish() {
  if (thread_.joinable()) thread_.join();
  return found_;
}

void post_key(HWND window, UINT virtual_key) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  HWND target = window;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus) target = info.hwndFocus;
  const UINT scan = MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC);
  PostMessageW(target, WM_KEYDOWN, virtual_key, LPARAM(1 | (scan << 16)));
  PostMessageW(target, WM_KEYUP, virtual_key, LPARAM(1 | (scan << 16) | 0xC0000000u));
}
