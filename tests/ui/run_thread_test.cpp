#include <windows.h>

#include <gtest/gtest.h>

#include "fake_machine.h"
#include "ui/background_scan.h"
#include "ui/run_thread.h"

namespace {

// A message-only window on the test's thread that counts what reaches it.
struct counting_window {
  static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message >= WM_USER) {
      ++*reinterpret_cast<int*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
      return LRESULT(wparam + 1);
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  int received = 0;
  HWND hwnd = nullptr;
  counting_window() {
    WNDCLASSW c{};
    c.lpfnWndProc = proc;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = L"folvi-counting";
    RegisterClassW(&c);
    hwnd = CreateWindowW(L"folvi-counting", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, c.hInstance, nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(&received));
  }
  ~counting_window() { DestroyWindow(hwnd); }
};

TEST(run_thread, joins_while_the_window_gets_its_messages) {
  counting_window window;
  ASSERT_TRUE(window.hwnd);
  const DWORD ui_thread = GetCurrentThreadId();
  LRESULT answer = 0;
  run_thread t;
  EXPECT_TRUE(t.ended()) << "no thread yet";
  ASSERT_TRUE(t.start(
      [&] {
        PostMessageW(window.hwnd, WM_USER + 3, 1, 0);
        // A sent message needs the waiting thread to take it: a plain wait would never end.
        answer = SendMessageW(window.hwnd, WM_USER + 4, 41, 0);
        PostThreadMessageW(ui_thread, WM_QUIT, 7, 0);
        return true;
      },
      nullptr));
  EXPECT_TRUE(t.exists());
  EXPECT_TRUE(t.join());
  EXPECT_FALSE(t.exists());
  EXPECT_TRUE(t.ended());
  EXPECT_EQ(window.received, 2);
  EXPECT_EQ(answer, 42);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is posted again";
  EXPECT_EQ(msg.wParam, 7u);

  // The job's own answer; a new run on the same object.
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
