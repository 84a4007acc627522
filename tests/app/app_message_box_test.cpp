#include <gtest/gtest.h>

#include "app/app_context.h"
#include "app/app_message_box.h"
#include "toolkit/xfc_message_box.h"
#include "window_driver.h"

// The program's message box: its default caption, and its owner only while the main window exists.
TEST(app_message_box, message_box_caption_owner_and_answer) {
  app_context app;
  HWND main =
      CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(main, nullptr);
  const struct {
    HWND window;  // the main window the context names
    const wchar_t* caption;
    int button;
    HWND owner;
  } cases[] = {
      {nullptr, nullptr, IDCANCEL, nullptr},  // no main window yet: the box has no owner
      {main, L"Own caption", IDOK, main},
      {main, nullptr, IDOK, nullptr},  // destroyed below: a window that is gone owns nothing
  };
  for (const auto& c : cases) {
    app.window_handle = c.window;
    if (&c == &cases[2]) DestroyWindow(main);
    HWND seen_owner = reinterpret_cast<HWND>(1);
    window_driver driver(c.caption ? c.caption : L"FOLVI Vezad", [&](HWND box) {
      seen_owner = GetWindow(box, GW_OWNER);
      click(GetDlgItem(box, c.button));
    });
    EXPECT_EQ(app_message_box(app, L"Proceed?", mb_icon_question | mb_ok_cancel, c.caption), c.button);
    EXPECT_TRUE(driver.finish()) << "no box captioned as expected";
    EXPECT_EQ(seen_owner, c.owner);
  }
}
