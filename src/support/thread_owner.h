#pragma once

#include <windows.h>

class api_error_cb;

// Owns one thread's handle from start to the end of the owner. What the end does with a thread
// still running is fixed at construction: join waits for it; detach only lets go of the handle,
// for a thread that may end its owner's life itself on its way out.
class thread_owner {
 public:
  enum class at_end { join, detach };
  using starter = HANDLE (*)(LPTHREAD_START_ROUTINE routine, void* parameter);

  explicit thread_owner(at_end end) : end_(end) {}
  ~thread_owner();
  thread_owner(const thread_owner&) = delete;
  thread_owner& operator=(const thread_owner&) = delete;

  // Runs `routine(parameter)` on a new thread made by `create`. A start while a thread exists
  // ends the process naming `operation`. False, reported as "CreateThread", when no thread could
  // be made.
  bool start(LPTHREAD_START_ROUTINE routine, void* parameter, const char* operation, api_error_cb* errors,
             starter create = create_thread);
  bool exists() const { return handle_ != nullptr; }
  HANDLE handle() const { return handle_; }
  // A zero-time wait; true when no thread exists.
  bool ended() const;
  // Blocks until the thread has ended; at once when none exists.
  void wait() const;
  // The ended thread's exit code; false while it runs or when none exists.
  bool exit_code(DWORD& code) const;
  // Waits for the end and closes the handle: no thread exists afterwards.
  void join();

  static HANDLE create_thread(LPTHREAD_START_ROUTINE routine, void* parameter);

 private:
  const at_end end_;
  HANDLE handle_ = nullptr;
};
