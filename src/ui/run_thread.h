#pragma once

#include <windows.h>

#include <functional>

#include "support/api_error.h"
#include "support/thread_owner.h"

// The thread of one run. The user-interface thread starts it, looks whether it has ended and
// joins it; the wait of a join keeps the thread's window messages moving, so that nothing the
// run posts or sends can hold either side.
class run_thread {
 public:
  run_thread() = default;
  run_thread(const run_thread&) = delete;
  run_thread& operator=(const run_thread&) = delete;

  // A second start while a thread exists is an internal error. False, reported as
  // "CreateThread", when no thread could be made.
  bool start(std::function<bool()> job, api_error_cb* errors);
  bool exists() const { return thread_.exists(); }
  // A zero-time wait; true when no thread exists.
  bool ended() const { return thread_.ended(); }
  // Waits for the end while dispatching this thread's messages, closes the handle and returns
  // what the job returned. A quit message seen meanwhile is posted again afterwards.
  bool join();

 private:
  static DWORD WINAPI thread_main(void* self);

  std::function<bool()> job_;
  bool result_ = false;
  // Without a window left there is nothing to dispatch: the end only waits.
  thread_owner thread_{thread_owner::at_end::join};
};
