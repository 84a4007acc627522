#include "ui/run_thread.h"

#include "support/fatal.h"

DWORD WINAPI run_thread::thread_main(void* self) {
  run_thread* t = static_cast<run_thread*>(self);
  t->result_ = t->job_();
  return 0;
}

bool run_thread::start(std::function<bool()> job, api_error_cb* errors) {
  if (thread_.exists()) fatal("run_thread::start");  // before the running job is replaced
  job_ = std::move(job);
  result_ = false;
  if (thread_.start(thread_main, this, "run_thread::start", errors)) return true;
  job_ = nullptr;
  return false;
}

bool run_thread::join() {
  if (!thread_.exists()) return result_;
  bool quit = false;
  WPARAM quit_code = 0;
  HANDLE handle = thread_.handle();
  for (;;) {
    const DWORD w = MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
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
  thread_.join();
  job_ = nullptr;
  if (quit) PostQuitMessage(int(quit_code));
  return result_;
}
