#include "window_find.h"

#include "script_words.h"
#include "support/format_string.h"
#include "support/text.h"
#include "text_match.h"

namespace {
struct enum_state {
  const window_query* query;
  std::vector<HWND> found;
};

BOOL CALLBACK collect_top_level(HWND window, LPARAM param) {
  auto* state = reinterpret_cast<enum_state*>(param);
  const window_query& q = *state->query;
  if (!IsWindowVisible(window)) return TRUE;
  if (!q.any_process && process_of(window) != q.pid) return TRUE;
  if (!q.klass.empty() && !text_matches(q.klass, class_of(window))) return TRUE;
  if (!q.title.empty() && !text_matches(q.title, title_of(window))) return TRUE;
  state->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK collect_child(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}
}  // namespace

std::vector<HWND> find_top_level_windows(const window_query& query) {
  enum_state state{&query, {}};
  EnumWindows(collect_top_level, reinterpret_cast<LPARAM>(&state));
  return state.found;
}

std::vector<HWND> child_controls(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, collect_child, reinterpret_cast<LPARAM>(&children));
  return children;
}

HWND find_control(HWND window, int id) {
  HWND hidden = nullptr;
  for (HWND child : child_controls(window)) {
    if (GetDlgCtrlID(child) != id) continue;
    if (IsWindowVisible(child)) return child;
    if (!hidden) hidden = child;
  }
  return hidden;
}

std::string class_of(HWND window) {
  wchar_t name[256] = {};
  const int n = GetClassNameW(window, name, 256);
  return to_utf8(std::wstring(name, n > 0 ? size_t(n) : 0));
}

std::string title_of(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(size_t(length) + 1, L'\0');
  const int n = GetWindowTextW(window, &text[0], length + 1);
  text.resize(n > 0 ? size_t(n) : 0);
  return to_utf8(text);
}

std::string describe_window(HWND window) {
  return format_string("0x%08lX ", (unsigned long)(uintptr_t)window) + class_of(window) + " \"" +
         escaped(title_of(window)) + "\"";
}

DWORD process_of(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}
