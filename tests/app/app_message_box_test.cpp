#include <gtest/gtest.h>

#include "app/app_context.h"
#include "app/app_message_box.h"
#include "toolkit/xfc_message_box.h"
#include "window_driver.h"

// The program's message box: its default caption, and its owner only while the main window exists.
TEST(app_message_box, message_box_caption_owner_and_answer) {
  app_context app;
  HWND seen_owner = reinterpret_cast<HWND>(1);
  {
    window_driver driver(L"FOLVI Vezad", [&](HWND box) {
      seen_owner = GetWindow(box, GW_OWNER);
      click(GetDlgItem(box, IDCANCEL));
    });
    EXPECT_EQ(app_message_box(app, L"Proceed?", mb_icon_question | mb_ok_cancel), IDCANCEL);
    EXPECT_TRUE(driver.finish()) << "no box captioned FOLVI Vezad";
  }
  EXPECT_EQ(seen_owner, nullptr) << "no main window yet: the box has no owner";

  HWND main =
      CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(main, nullptr);
  app.window_handle = main;
  {
    window_driver driver(L"Own caption", [&](HWND box) {
      seen_owner = GetWindow(box, GW_OWNER);
      click(GetDlgItem(box, IDOK));
    });
    EXPECT_EQ(app_message_box(app, L"Done.", mb_icon_information | mb_ok, L"Own caption"), IDOK);
    EXPECT_TRUE(driver.finish());
  }
  EXPECT_EQ(seen_owner, main);

  DestroyWindow(main);  // a window that is gone owns nothing
  {
    window_driver driver(L"FOLVI Vezad", [&](HWND box) {
      seen_owner = GetWindow(box, GW_OWNER);
      click(GetDlgItem(box, IDOK));
    });
    EXPECT_EQ(app_message_box(app, L"Again.", mb_icon_error | mb_ok), IDOK);
    EXPECT_TRUE(driver.finish());
  }
  EXPECT_EQ(seen_owner, nullptr);
}
