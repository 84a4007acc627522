#include <windows.h>

#include <gtest/gtest.h>

#include "fake_machine.h"
#include "ui/background_scan.h"
#include "ui/run_thread.h"

namespace {

// The join hands the window its messages: a sent text (a plain wait would never end) and a
// posted close; a quit posted meanwhile is posted again. Then the job's own answer, on the same object.
TEST(run_thread, joins_while_the_window_gets_its_messages) {
  const HWND window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  const DWORD ui_thread = GetCurrentThreadId();
  LRESULT answer = 0;
  run_thread t;
  EXPECT_TRUE(t.ended()) << "no thread yet";
  ASSERT_TRUE(t.start(
      [&] {
        answer = SendMessageW(window, WM_SETTEXT, 0, LPARAM(L"sent"));
        PostMessageW(window, WM_CLOSE, 0, 0);
        PostThreadMessageW(ui_thread, WM_QUIT, 7, 0);
        return true;
      },
      nullptr));
  EXPECT_TRUE(t.exists());
  EXPECT_TRUE(t.join());
  EXPECT_FALSE(t.exists());
  EXPECT_TRUE(t.ended());
  EXPECT_EQ(answer, TRUE);
  EXPECT_FALSE(IsWindow(window)) << "the posted close was dispatched";
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is posted again";
  EXPECT_EQ(msg.wParam, 7u);
  ASSERT_TRUE(t.start([] { return false; }, nullptr));
  while (!t.ended()) Sleep(1);
  EXPECT_FALSE(t.join());
}

TEST(run_thread, a_second_start_while_one_runs_is_an_internal_error) {
  EXPECT_DEATH(
      {
        HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        run_thread t;
        t.start([gate] { return WaitForSingleObject(gate, INFINITE) == WAIT_OBJECT_0; }, nullptr);
        t.start([] { return true; }, nullptr);
      },
      "run_thread::start");
}

TEST(background_scan, runs_and_hands_over_its_stack_and_log) {
  fake_machine m;
  m.header.computer_name = L"BENCH-PC";
  background_scan scan(m);
  EXPECT_TRUE(scan.ended()) << "nothing started";
  ASSERT_TRUE(scan.start("1.2.3.4", nullptr));
  for (int i = 0; i < 60000 && !scan.ended(); ++i) Sleep(1);
  ASSERT_TRUE(scan.ended());
  scan_outcome outcome = scan.take();
  ASSERT_TRUE(outcome.stack);
  EXPECT_EQ(outcome.stack->computer_name, L"BENCH-PC");
  EXPECT_EQ(outcome.log_text.find("  \nFOLVI Vezad, version 1.2.3.4\n\n"), 0u) << outcome.log_text;
  EXPECT_NE(outcome.log_text.find("Storage stack:"), std::string::npos);
  EXPECT_EQ(m.open_handles(), 0);
  // Taken once: afterwards the scan has ended with nothing.
  EXPECT_TRUE(scan.ended());
  EXPECT_FALSE(scan.take().stack);
  EXPECT_EQ(scan_log_banner("0.1.2.3"), "\nFOLVI Vezad, version 0.1.2.3\n\n");
}

}  // namespace
