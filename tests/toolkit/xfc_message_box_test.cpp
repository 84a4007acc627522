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

box_run run_box(uint32_t flags, const std::function<void(HWND)>& script, HWND owner = nullptr,
                const std::wstring& text = L"Something happened.\n\nWhat now?") {
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

RECT client_rect_of(HWND child, HWND box) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Runs a box of the flags that begin `spec` and does what its other words say, from the second
// thread: click id, post-click id (handled after what is queued), key escape|return, close, check
// (the check box), usable id, front (where the foreground is this process's). Says what the box
// showed (its buttons, icon, check box and its label, the close item) and what each word found,
// then the answer and the flags handed back.
std::string box_case(const std::string& spec) {
  const std::vector<std::string> w = words(spec);
  std::string seen;
  const box_run run = run_box(uint32_t(std::stoul(w[0], nullptr, 0)), [&](HWND box) {
    seen = to_utf8(visible_buttons(box)) + " icon " + std::to_string(shown(box, mb_id_icon)) + " check " +
           (shown(box, mb_id_check) ? "\"" + to_utf8(window_text(GetDlgItem(box, mb_id_check))) + "\"" : "-") +
           " close item " +
           (GetMenuState(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED ? "grayed" : "on") +
           (window_text(GetDlgItem(box, mb_id_text)) == L"Something happened.\n\nWhat now?" ? "" : " wrong text") +
           "\n";
    for (size_t i = 1; i < w.size(); ++i) {
      const int id = i + 1 < w.size() ? std::atoi(w[i + 1].c_str()) : 0;
      if (w[i] == "click") click(button(box, id));
      if (w[i] == "post-click") PostMessageW(button(box, id), BM_CLICK, 0, 0);
      if (w[i] == "key") post_key(box, w[i + 1] == "escape" ? VK_ESCAPE : VK_RETURN);
      if (w[i] == "close") post_close(box);
      if (w[i] == "check") click(GetDlgItem(box, mb_id_check));
      if (w[i] == "usable") seen += "  " + std::to_string(id) + (usable(box, id) ? " usable\n" : " disabled\n");
      DWORD foreground = 0;
      GetWindowThreadProcessId(GetForegroundWindow(), &foreground);
      if (w[i] == "front" && foreground == GetCurrentProcessId() && GetForegroundWindow() != box) seen += "  behind\n";
    }
  });
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

TEST(message_box_window, layout_colours_owner_centring_and_taskbar_style) {
  // An owner away from the screen's centre: the box centres on it.
  const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 120, 600, 400, nullptr,
                                     nullptr, nullptr, nullptr);
  ASSERT_TRUE(owner);
  box_run run = run_box(
      0x20032,
      [owner](HWND box) {
        RECT box_rect{}, owner_rect{};
        GetWindowRect(box, &box_rect);
        GetWindowRect(owner, &owner_rect);
        EXPECT_LE(std::abs((box_rect.left + box_rect.right) - (owner_rect.left + owner_rect.right)), 1);
        EXPECT_LE(std::abs((box_rect.top + box_rect.bottom) - (owner_rect.top + owner_rect.bottom)), 1);
        EXPECT_EQ(GetWindow(box, GW_OWNER), owner);
        EXPECT_TRUE(GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_APPWINDOW);
        // The layout's places (its rectangles are the plan test's), the text measured unwrapped.
        const RECT ok = client_rect_of(button(box, 1), box), cancel = client_rect_of(button(box, 2), box);
        const RECT text = client_rect_of(GetDlgItem(box, mb_id_text), box);
        EXPECT_GT(cancel.left, ok.right);
        EXPECT_LE(text.bottom, ok.top);
        EXPECT_GT(text.right - text.left, 200);  // the long line is not wrapped into a narrow column
        // White message area, button-face band behind the buttons.
        const HDC dc = GetDC(box);
        EXPECT_EQ(GetPixel(dc, 2, 2), RGB(255, 255, 255));
        EXPECT_EQ(GetPixel(dc, 2, ok.top + 1), GetSysColor(COLOR_BTNFACE));
        ReleaseDC(box, dc);
        click(button(box, 2));
      },
      owner,
      L"This will upload a screenshot of the app's window to\nthe FOLVI server and assign it a unique URL that "
      L"you\ncan then share with the others.\n\nProceed?");
  EXPECT_EQ(run.answer, 2);
  DestroyWindow(owner);

  // A reply of hundreds of lines and an unbreakable word stays on the screen.
  std::wstring huge = L"Upload failed. Server response:\n\n" + std::wstring(3000, L'x');
  for (int i = 0; i < 300; ++i) huge += L"\nline " + std::to_wstring(i);
  run = run_box(
      0x41,
      [](HWND box) {
        RECT r{}, work{};
        GetWindowRect(box, &r);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_GE(r.left, work.left);
        EXPECT_GE(r.top, work.top);
        EXPECT_LE(r.right, work.right);
        EXPECT_LE(r.bottom, work.bottom);
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(box, 1)));
        click(GetDlgItem(box, 1));
      },
      nullptr, huge);
  EXPECT_EQ(run.answer, 1);
}
