#include "ui/run_thread.h"

#include "support/fatal.h"

run_thread::~run_thread() {
  // Without a window left there is nothing to dispatch.
  if (thread_) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }
}

DWORD WINAPI run_thread::thread_main(void* self) {
  run_thread* t = static_cast<run_thread*>(self);
  t->result_ = t->job_();
  return 0;
}

bool run_thread::start(std::function<bool()> job, api_error_cb* errors) {
  if (thread_) fatal("run_thread::start");
  job_ = std::move(job);
  result_ = false;
  thread_ = CreateThread(nullptr, 0, thread_main, this, 0, nullptr);
  if (thread_) return true;
  if (errors) errors->report_api_error("CreateThread", uint32_t(GetLastError()));
  job_ = nullptr;
  return false;
}

bool run_thread::ended() const { return !thread_ || WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0; }

bool run_thread::join() {
  if (!thread_) return result_;
  bool quit = false;
  WPARAM quit_code = 0;
  for (;;) {
    const DWORD w = MsgWaitForMultipleObjectsEx(1, &thread_, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (w == WAIT_OBJECT_0 || w == WAIT_FAILED) break;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        quit_code = msg.wParam;
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  // A failed wait must not leave a running thread behind a closed handle.
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  thread_ = nullptr;
  job_ = nullptr;
  if (quit) PostQuitMessage(int(quit_code));
  return result_;
}
