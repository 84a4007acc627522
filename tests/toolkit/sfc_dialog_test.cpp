#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "golden.h"
#include "support/text.h"
#include "toolkit/sfc_dialog.h"
#include "toolkit/sfc_window.h"
#include "toolkit/white_dialog.h"
#include "toolkit/xfc_custom_static.h"
#include "toolkit_test_ids.h"
#include "window_driver.h"

namespace {

// The face and points of a control's font.
std::string font_of(HWND control) {
  LOGFONTW lf{};
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  if (!font || GetObjectW(font, sizeof lf, &lf) != sizeof lf) return "no font";
  const sfc_window_dc screen(nullptr);
  return to_utf8(lf.lfFaceName) + " " +
         std::to_string(MulDiv(-lf.lfHeight, 72, GetDeviceCaps(screen.handle(), LOGPIXELSY)));
}

// Records what its controls show and which handlers ran; dressed the way the program's dialogs
// are, on white with a text block of the toolkit's.
class probe_dialog : public sfc_dialog {
 public:
  probe_dialog() { add_hook(&colours_); }
  std::set<std::string> fonts;
  std::vector<std::string> calls;
  bool end_at_once = false;
  bool with_timer = false;  // a timer started by the press button

 protected:
  bool on_init() override {
    calls.push_back("init");
    for (int id : {IDC_TEST_TEXT, IDC_TEST_EDIT, IDC_TEST_COMBO, IDC_TEST_PRESS, IDOK})
      if (item(id)) fonts.insert(font_of(item(id)));
    if (block_.attach(item(IDC_TEST_CUSTOM))) block_.set_text(L"Read speed");
    if (end_at_once) end(42);
    return true;
  }
  void on_destroy() override { calls.push_back("destroy"); }
  void on_ok() override {
    calls.push_back("ok");
    end(1);
  }
  void on_command(int id, int code, HWND) override {
    calls.push_back("command " + std::to_string(id) + "/" + std::to_string(code));
    if (with_timer && id == IDC_TEST_PRESS) set_timer(7, 10);
  }
  void on_timer(UINT_PTR id) override {
    kill_timer(id);
    calls.push_back("timer " + std::to_string(id));
    SetDlgItemTextW(hwnd(), IDC_TEST_TEXT, L"timer fired");
  }

 private:
  white_dialog_colours colours_;
  xfc_text block_;
};

// Counts what reaches it; may refuse one message.
class counting_hook : public sfc_msg_hook {
 public:
  int bound = 0, before_count = 0, after_count = 0;
  UINT block = 0;
  void on_bound(sfc_hwnd&) override { ++bound; }
  bool before(sfc_msg& m) override {
    ++before_count;
    return m.message != block;
  }
  void after(sfc_msg&) override { ++after_count; }
};

// "template override": the template 900, 901 (no font of its own), 999 (not there) or one in
// memory; the override "default" (the message font), "none" (disabled) or "Face_Name points".
// What the dialog answers, the fonts of its controls, and whether it is gone afterwards.
std::string fonts_case(const std::string& question) {
  const std::vector<std::string> w = words(question);
  probe_dialog dialog;
  dialog.end_at_once = true;
  std::wstring face = from_utf8(w[1]);
  std::replace(face.begin(), face.end(), L'_', L' ');
  if (w[1] == "none") dialog.disable_font_override();
  if (w.size() > 2) dialog.set_font_override(face, uint16_t(std::stoi(w[2])));
  dialog_template_writer memory(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, {0, 0, 120, 60},
                                L"Memory dialog", {});
  memory.add(WS_CHILD | WS_VISIBLE, 0, {5, 5, 100, 15}, IDC_TEST_TEXT, dlg_class_static, L"From memory");
  std::string out = std::to_string(w[0] == "memory" ? dialog.run_modal(memory.bytes(), nullptr)
                                                    : dialog.run_modal(std::stoi(w[0]), nullptr));
  for (const std::string& font : dialog.fonts) out += ", " + font;
  return out + (dialog.hwnd() == nullptr && dialog.destroyed() ? ", gone" : "") +
         (dialog.calls.empty() ? ", no handlers ran" : "");
}
}  // namespace

// Where each dialog's font comes from: the message font by default, the template's own without
// the override, the override for a template without a font and for one in memory.
TEST(dialog_window, fonts_by_default_from_the_template_and_from_the_override) {
  expect_table("toolkit/dialog_fonts.txt", fonts_case);
}

TEST(dialog_window, texts_commands_timers_enter_and_hooks_reach_their_handlers) {
  probe_dialog dialog;
  dialog.with_timer = true;
  counting_hook hook;
  hook.block = WM_CONTEXTMENU;
  dialog.add_hook(&hook);
  window_driver driver(L"Template dialog", [](HWND box) {
    EXPECT_EQ(window_text(GetDlgItem(box, IDC_TEST_TEXT)), L"Hello from a template");
    EXPECT_EQ(window_text(GetDlgItem(box, IDC_TEST_PRESS)), L"Press me");
    EXPECT_EQ(window_text(GetDlgItem(box, IDCANCEL)), L"Cancel");
    EXPECT_EQ(window_text(GetDlgItem(box, IDC_TEST_CUSTOM)), L"Read speed");
    const HDC dc = GetDC(box);
    EXPECT_TRUE(wait_until([&] { return GetPixel(dc, 2, 2) == RGB(255, 255, 255); }));
    ReleaseDC(box, dc);
    click(GetDlgItem(box, IDC_TEST_PRESS));
    SendMessageW(box, WM_CONTEXTMENU, 0, 0);
    EXPECT_TRUE(wait_until([box] { return window_text(GetDlgItem(box, IDC_TEST_TEXT)) == L"timer fired"; }));
    post_key(box, VK_RETURN);
  });
  EXPECT_EQ(dialog.run_modal(IDD_TEST_DIALOG, nullptr), 1);
  EXPECT_TRUE(driver.finish());
  // The edit's own notifications come and go with the focus.
  std::vector<std::string> seen;
  for (const std::string& call : dialog.calls)
    if (call.rfind("command 1002/", 0) != 0) seen.push_back(call);
  EXPECT_EQ(seen, (std::vector<std::string>{"init", "command 1004/0", "timer 7", "ok", "destroy"}));
  EXPECT_EQ(hook.bound, 1);
  EXPECT_GT(hook.before_count, hook.after_count);  // the refused message never reached "after"
  EXPECT_GT(hook.after_count, 5);
}

namespace {

// A child object that takes reflected draw requests.
class reflect_probe : public sfc_window {
 public:
  int drawn = 0;

 protected:
  bool on_message(sfc_msg& m) override {
    if (m.message == sfc_reflected + WM_DRAWITEM) {
      ++drawn;
      m.result = TRUE;
      return true;
    }
    return sfc_window::on_message(m);
  }
};

class parent_window : public sfc_window {
 public:
  std::vector<UINT> seen;

 protected:
  bool on_message(sfc_msg& m) override {
    seen.push_back(m.message);
    return sfc_window::on_message(m);
  }
};

LRESULT send_draw_item(HWND parent, HWND child) {
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_STATIC;
  item.CtlID = UINT(GetDlgCtrlID(child));
  item.hwndItem = child;
  return SendMessageW(parent, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

TEST(sfc_window, own_and_subclassed_windows_route_and_reflect_and_unbind) {
  parent_window parent;
  sfc_create_params p;
  p.style = WS_POPUP;
  p.rect = {0, 0, 300, 200};
  p.text = L"parent";
  ASSERT_TRUE(parent.create(p));
  EXPECT_EQ(sfc_window::from_handle(parent.hwnd()), &parent);
  wchar_t class_name[32] = {};
  GetClassNameW(parent.hwnd(), class_name, 32);
  EXPECT_STREQ(class_name, L"SfcWindow");

  const HWND child_hwnd = CreateWindowExW(0, L"Static", L"", WS_CHILD | SS_OWNERDRAW, 0, 0, 50, 20, parent.hwnd(),
                                          reinterpret_cast<HMENU>(7), nullptr, nullptr);
  reflect_probe child;
  ASSERT_TRUE(child.attach(child_hwnd));
  EXPECT_TRUE(child.subclassed());
  EXPECT_FALSE(child.created());
  EXPECT_EQ(sfc_window::from_handle(child_hwnd), &child);
  EXPECT_EQ(send_draw_item(parent.hwnd(), child_hwnd), TRUE);
  EXPECT_EQ(child.drawn, 1);
  parent.set_reflection(false);
  EXPECT_EQ(send_draw_item(parent.hwnd(), child_hwnd), FALSE);
  EXPECT_EQ(child.drawn, 1);
  parent.set_reflection(true);

  // The child goes first: its object lets go of the window.
  DestroyWindow(child_hwnd);
  EXPECT_EQ(child.hwnd(), nullptr);
  EXPECT_TRUE(child.destroyed());
  EXPECT_EQ(sfc_window::from_handle(child_hwnd), nullptr);

  // A system-class window created through the object is destroyed with it.
  HWND button_hwnd = nullptr;
  {
    sfc_window button;
    sfc_create_params b;
    b.class_name = L"Button";
    b.parent = parent.hwnd();
    b.id = 8;
    b.rect = {0, 0, 40, 20};
    ASSERT_TRUE(button.create(b));
    EXPECT_TRUE(button.created() && button.subclassed());
    button_hwnd = button.hwnd();
  }
  EXPECT_FALSE(IsWindow(button_hwnd));

  const HWND parent_hwnd = parent.hwnd();
  EXPECT_NE(std::find(parent.seen.begin(), parent.seen.end(), UINT(WM_CREATE)), parent.seen.end());
  parent.destroy();
  EXPECT_FALSE(IsWindow(parent_hwnd));
  EXPECT_EQ(parent.hwnd(), nullptr);
}

TEST(sfc_window, misuse_ends_the_process) {
  const auto popup = [] {
    return CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  };
  EXPECT_DEATH(
      {
        sfc_window w;
        w.attach(popup());
      },
      "sfc_window::~sfc_window");
  EXPECT_DEATH(
      {
        const HWND h = popup();
        sfc_window w;
        w.attach(h);
        w.attach(h);
      },
      "sfc_window::attach");
  EXPECT_DEATH(
      {
        const HWND h = popup();
        static sfc_window first;
        static sfc_window second;
        first.attach(h);
        second.attach(h);
      },
      "sfc_window::attach");
}
