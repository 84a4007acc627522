#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "golden.h"
#include "support/text.h"
#include "toolkit/xfc_message_box.h"
#include "window_driver.h"

namespace {

// Runs one box; `script` acts on it from the second thread and must end it.
struct box_run {
  int answer = -1;
  uint32_t flags = 0;
};

box_run run_box(uint32_t flags, const std::function<void(HWND)>& script, HWND owner, const std::wstring& text) {
  static int serial = 0;
  message_box_request request;
  request.owner = owner;
  request.caption = L"Toolkit box " + std::to_wstring(++serial);
  request.text = text;
  request.flags = flags;
  // The script acts once the box's set-up has put the focus in it, and a box it leaves open fails
  // the case instead of hanging the run.
  window_driver driver(request.caption, [&](HWND box) {
    EXPECT_TRUE(wait_until([box] {
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      return GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info) && IsChild(box, info.hwndFocus);
    })) << "the box never took the focus";
    script(box);
    if (!wait_until([box] { return !IsWindow(box); })) {
      ADD_FAILURE() << "the box stayed open";
      EndDialog(box, 0);
    }
  });
  box_run run;
  run.answer = run_message_box(request);
  EXPECT_TRUE(driver.finish()) << "the box never appeared";
  run.flags = request.flags;
  return run;
}

HWND button(HWND box, int id) { return GetDlgItem(box, id); }
bool shown(HWND box, int id) { return IsWindowVisible(GetDlgItem(box, id)) != 0; }
bool usable(HWND box, int id) { return IsWindowEnabled(GetDlgItem(box, id)) != 0; }

// What a box shows: its visible push buttons' texts from left to right.
std::wstring visible_buttons(HWND box) {
  std::vector<std::pair<LONG, std::wstring>> found;
  for (int id : {mb_id_unused_button, mb_id_unused_button + 1, mb_id_unused_button + 2, 1, 2, 6, 7})
    if (HWND b = GetDlgItem(box, id); b && IsWindowVisible(b)) {
      RECT r{};
      GetWindowRect(b, &r);
      found.emplace_back(r.left, window_text(b));
    }
  std::sort(found.begin(), found.end());
  std::wstring out;
  for (const auto& [left, text] : found) out += text + L"|";
  return out;
}

RECT rect_in(HWND child, HWND box) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Where the box stands and how it is laid out (its rectangles are the plan test's): centred on its
// owner, in the taskbar, the text measured unwrapped above the buttons, white above the band of
// the buttons' face colour, all on the screen.
std::string placed(HWND box, HWND owner) {
  RECT r{}, o{}, work{};
  GetWindowRect(box, &r);
  GetWindowRect(owner ? owner : box, &o);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const RECT ok = rect_in(button(box, 1), box), cancel = rect_in(button(box, 2), box);
  const RECT text = rect_in(GetDlgItem(box, mb_id_text), box);
  const HDC dc = GetDC(box);
  const bool colours =
      GetPixel(dc, 2, 2) == RGB(255, 255, 255) && GetPixel(dc, 2, ok.top + 1) == GetSysColor(COLOR_BTNFACE);
  ReleaseDC(box, dc);
  return "  centred " +
         std::to_string(std::abs(r.left + r.right - o.left - o.right) <= 1 &&
                        std::abs(r.top + r.bottom - o.top - o.bottom) <= 1) +
         " owned " + std::to_string(GetWindow(box, GW_OWNER) == owner) + " taskbar " +
         std::to_string((GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0) + " row " +
         std::to_string(cancel.left > ok.right) + " text above " + std::to_string(text.bottom <= ok.top) + " wide " +
         std::to_string(text.right - text.left > 200) + " colours " + std::to_string(colours) + " on screen " +
         std::to_string(r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom &&
                        IsWindowVisible(button(box, 1))) +
         "\n";
}

std::wstring text_of(const std::vector<std::string>& w) {
  if (std::find(w.begin(), w.end(), "long") != w.end())
    return L"This will upload a screenshot of the app's window to\nthe FOLVI server and assign it a unique URL that "
           L"you\ncan then share with the others.\n\nProceed?";
  if (std::find(w.begin(), w.end(), "huge") == w.end()) return L"Something happened.\n\nWhat now?";
  // A reply of hundreds of lines and an unbreakable word.
  std::wstring huge = L"Upload failed. Server response:\n\n" + std::wstring(3000, L'x');
  for (int i = 0; i < 300; ++i) huge += L"\nline " + std::to_wstring(i);
  return huge;
}

// Runs a box of the flags that begin `spec` and does what its other words say, from the second
// thread: click id, post-click id (handled after what is queued), key escape|return, close, check
// (the check box), usable id, front (where the foreground is this process's), placed; owner (an
// owner away from the screen's centre), long or huge (the text). Says what the box
// showed (its buttons, icon, check box and its label, the close item) and what each word found,
// then the answer and the flags handed back.
std::string box_case(const std::string& spec) {
  const std::vector<std::string> w = words(spec);
  std::string seen;
  const bool owned = std::find(w.begin(), w.end(), "owner") != w.end();
  const HWND owner = owned ? CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 120, 600, 400, nullptr,
                                             nullptr, nullptr, nullptr)
                           : nullptr;
  const std::wstring text = text_of(w);
  const box_run run = run_box(
      uint32_t(std::stoul(w[0], nullptr, 0)),
      [&](HWND box) {
        seen = to_utf8(visible_buttons(box)) + " icon " + std::to_string(shown(box, mb_id_icon)) + " check " +
               (shown(box, mb_id_check) ? "\"" + to_utf8(window_text(GetDlgItem(box, mb_id_check))) + "\"" : "-") +
               " close item " +
               (GetMenuState(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED ? "grayed" : "on") +
               (window_text(GetDlgItem(box, mb_id_text)) == text.substr(0, 4095) ? "" : " wrong text") + "\n";
        for (size_t i = 1; i < w.size(); ++i) {
          const int id = i + 1 < w.size() ? std::atoi(w[i + 1].c_str()) : 0;
          if (w[i] == "click") click(button(box, id));
          if (w[i] == "post-click") PostMessageW(button(box, id), BM_CLICK, 0, 0);
          if (w[i] == "key") post_key(box, w[i + 1] == "escape" ? VK_ESCAPE : VK_RETURN);
          if (w[i] == "close") post_close(box);
          if (w[i] == "check") click(GetDlgItem(box, mb_id_check));
          if (w[i] == "placed") seen += placed(box, owner);
          if (w[i] == "usable") seen += "  " + std::to_string(id) + (usable(box, id) ? " usable\n" : " disabled\n");
          DWORD foreground = 0;
          GetWindowThreadProcessId(GetForegroundWindow(), &foreground);
          if (w[i] == "front" && foreground == GetCurrentProcessId() && GetForegroundWindow() != box)
            seen += "  behind\n";
        }
      },
      owner, text);
  if (owner) DestroyWindow(owner);
  char flags[16];
  snprintf(flags, sizeof flags, "0x%05x", unsigned(run.flags));
  return seen + "answer " + std::to_string(run.answer) + ", flags " + flags + "\n";
}
}  // namespace

// The box shows the plan's buttons from the right and answers a click with its button, Esc and the
// close box with the plan's escape answer (nothing at all for Yes/No), Enter with its default
// button; the ticked check box disables the plan's button and keeps its bit in the flags.
TEST(message_box_window, keys_clicks_and_the_check_box_give_the_plan_s_answers_and_flags) {
  expect_cases("toolkit/message_box_windows.txt", box_case);
}
