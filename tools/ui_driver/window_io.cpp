#include "window_io.h"

#include <commctrl.h>

#include "support/format_string.h"
#include "wait_until.h"
#include "window_find.h"

namespace {
bool post(HWND window, UINT message, WPARAM wparam, LPARAM lparam, std::string& error) {
  if (PostMessageW(window, message, wparam, lparam)) return true;
  error = format_string("PostMessage(0x%04X) failed with %lu", message, (unsigned long)GetLastError());
  return false;
}

bool usable(HWND control, std::string& error) {
  if (!IsWindow(control)) {
    error = "the control is gone";
    return false;
  }
  if (!IsWindowEnabled(control)) {
    error = "the control is disabled";
    return false;
  }
  return true;
}

bool is_class(HWND window, const char* name) { return _stricmp(class_of(window).c_str(), name) == 0; }

// Check boxes and radio buttons have a check state; push buttons and group boxes do not.
bool has_check_state(HWND window) {
  if (!is_class(window, "Button")) return false;
  switch (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE: return true;
    default: return false;
  }
}

HWND focused_control(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (!GetGUIThreadInfo(thread, &info)) return nullptr;
  return info.hwndFocus;
}

// Keyboard message parameters: repeat count 1, the scan code, and for key-up the previous-state and
// transition bits.
LPARAM key_lparam(UINT virtual_key, bool up) {
  const UINT scan = MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC);
  LPARAM lp = 1 | LPARAM(scan & 0xFF) << 16;
  if (up) lp |= LPARAM(3) << 30;
  return lp;
}
}  // namespace

bool ask_window(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result, std::string& error) {
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, message_timeout_ms, &answer)) {
    result = LRESULT(answer);
    return true;
  }
  const DWORD code = GetLastError();
  if (!IsWindow(window)) error = "the window is gone";
  else if (code == ERROR_TIMEOUT || code == 0)
    error = format_string("the window did not answer message 0x%04X within %u ms", message, message_timeout_ms);
  else error = format_string("SendMessageTimeout(0x%04X) failed with %lu", message, (unsigned long)code);
  return false;
}

bool read_text(HWND window, std::wstring& text, std::string& error) {
  LRESULT length = 0;
  if (!ask_window(window, WM_GETTEXTLENGTH, 0, 0, length, error)) return false;
  std::wstring buffer(size_t(length) + 1, L'\0');
  LRESULT copied = 0;
  if (!ask_window(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(&buffer[0]), copied, error)) return false;
  buffer.resize(size_t(copied) < buffer.size() ? size_t(copied) : buffer.size() - 1);
  text = buffer;
  return true;
}

bool write_text(HWND window, const std::wstring& text, std::string& error) {
  LRESULT done = 0;
  if (!ask_window(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), done, error)) return false;
  if (!done) {
    error = "the control refused the text";
    return false;
  }
  return true;
}

std::vector<std::string> state_words(HWND window) {
  std::vector<std::string> words;
  words.push_back(IsWindowVisible(window) ? "visible" : "hidden");
  words.push_back(IsWindowEnabled(window) ? "enabled" : "disabled");
  std::string ignored;  // a window that does not answer simply shows no check state
  LRESULT check = 0;
  if (has_check_state(window) && ask_window(window, BM_GETCHECK, 0, 0, check, ignored))
    words.push_back(check == BST_CHECKED ? "checked" : "unchecked");
  if (focused_control(window) == window) words.push_back("focused");
  return words;
}

bool is_state_word(const std::string& word) {
  for (const char* known : {"visible", "hidden", "enabled", "disabled", "checked", "unchecked", "focused"})
    if (word == known) return true;
  return false;
}

bool click_button(HWND button, std::string& error) {
  return usable(button, error) && post(button, BM_CLICK, 0, 0, error);
}

bool bring_to_front(HWND window, std::string& error) {
  SetForegroundWindow(window);
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  const bool active = wait_until(5000, [&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetForegroundWindow() == window && GetGUIThreadInfo(thread, &info) && info.hwndActive == window;
  });
  if (!active) {
    error = "the window could not be brought to the front";
    return false;
  }
  // Once more through its message loop: the focus change that came with the activation is handled
  // there, and under Wine that resets the modifier keys to what the X server holds.
  DWORD_PTR ignored = 0;
  if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored)) return true;
  error = format_string("the window did not answer after its activation (%lu)", (unsigned long)GetLastError());
  return false;
}

bool ctrl_click_button(HWND button, std::string& error) {
  const HWND window = GetAncestor(button, GA_ROOT);
  if (!usable(button, error) || !bring_to_front(window, error)) return false;
  RECT r{};
  GetWindowRect(button, &r);
  const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  // Absolute mouse positions run from 0 to 65535 across the primary screen.
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  const LONG x = LONG((centre.x * 65536L + width / 2) / width);
  const LONG y = LONG((centre.y * 65536L + height / 2) / height);
  // The pointer first, on its own: under Wine the window it enters resets the modifier keys to
  // what the X server holds, which would let go of the Ctrl sent below.
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi = {x, y, 0, MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 0, 0};
  if (SendInput(1, &move, sizeof(INPUT)) != 1) {
    error = format_string("SendInput failed with %lu", (unsigned long)GetLastError());
    return false;
  }
  wait_until(2000, [&] {
    POINT at{};
    return GetCursorPos(&at) && at.x == centre.x && at.y == centre.y;
  });
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
  INPUT input[4] = {};
  for (INPUT& i : input) i.type = INPUT_MOUSE;
  input[0].type = input[3].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[3].ki.wVk = VK_CONTROL;
  input[3].ki.dwFlags = KEYEVENTF_KEYUP;
  input[1].mi = {x, y, 0, MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE, 0, 0};
  input[2].mi = {x, y, 0, MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE, 0, 0};
  // One call: nothing else comes between the keys and the click.
  if (SendInput(4, input, sizeof(INPUT)) == 4) return true;
  error = format_string("SendInput failed with %lu", (unsigned long)GetLastError());
  return false;
}

bool post_command(HWND window, int id, std::string& error) {
  return post(window, WM_COMMAND, MAKEWPARAM(id, 0), 0, error);
}

bool type_characters(HWND window, const std::wstring& text, std::string& error) {
  if (!usable(window, error)) return false;
  for (wchar_t c : text)
    if (!post(window, WM_CHAR, WPARAM(c), 1, error)) return false;
  return true;
}

bool press_key(HWND window, HWND to, const key_info& key, std::string& error) {
  HWND target = to ? to : focused_control(window);
  if (!target) target = window;
  if (!usable(target, error)) return false;
  if (!post(target, WM_KEYDOWN, key.virtual_key, key_lparam(key.virtual_key, false), error)) return false;
  // A key that closes the window (Esc) may leave no window for its release.
  if (post(target, WM_KEYUP, key.virtual_key, key_lparam(key.virtual_key, true), error)) return true;
  if (IsWindow(target)) return false;
  error.clear();
  return true;
}

bool close_window(HWND window, std::string& error) { return post(window, WM_SYSCOMMAND, SC_CLOSE, 0, error); }

bool combo_items(HWND combo, std::vector<std::wstring>& items, std::string& error) {
  items.clear();
  LRESULT count = 0;
  if (!ask_window(combo, CB_GETCOUNT, 0, 0, count, error)) return false;
  if (count == CB_ERR) {
    error = "not a combo box";
    return false;
  }
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = 0;
    if (!ask_window(combo, CB_GETLBTEXTLEN, WPARAM(i), 0, length, error)) return false;
    if (length == CB_ERR) {
      error = format_string("item %ld has no text", long(i));
      return false;
    }
    std::wstring text(size_t(length) + 1, L'\0');
    LRESULT copied = 0;
    if (!ask_window(combo, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(&text[0]), copied, error)) return false;
    text.resize(copied == CB_ERR ? 0 : size_t(copied));
    items.push_back(text);
  }
  return true;
}

namespace {
bool tell_parent(HWND combo, WORD code, std::string& error) {
  return post(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), code), reinterpret_cast<LPARAM>(combo),
              error);
}
}  // namespace

bool combo_drop_down(HWND combo, std::string& error) {
  return usable(combo, error) && tell_parent(combo, CBN_DROPDOWN, error);
}

bool combo_confirm(HWND combo, size_t index, std::string& error) {
  return combo_select(combo, index, error) && tell_parent(combo, CBN_SELENDOK, error) &&
         tell_parent(combo, CBN_CLOSEUP, error);
}

bool combo_select(HWND combo, size_t index, std::string& error) {
  if (!usable(combo, error)) return false;
  LRESULT selected = 0;
  if (!ask_window(combo, CB_SETCURSEL, index, 0, selected, error)) return false;
  if (selected == CB_ERR) {
    error = format_string("the combo box has no item %zu", index);
    return false;
  }
  return post(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
              reinterpret_cast<LPARAM>(combo), error);
}
