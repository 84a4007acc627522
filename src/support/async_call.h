#pragma once

#include <windows.h>

#include "support/thread_owner.h"

// A reference-counted background call: the creator holds one reference, the thread another.
class async_call {
 public:
  async_call() = default;
  async_call(const async_call&) = delete;
  async_call& operator=(const async_call&) = delete;

  // Requires no thread yet and only the creator's reference.
  bool start();
  void release();
  bool is_done() const;
  // Blocks until run has returned (or at once when never started).
  void wait() const;
  LONG ref_count() const { return count_; }

 protected:
  virtual ~async_call();
  virtual void run() = 0;

 private:
  static DWORD WINAPI thread_main(void* self);
  // The thread's last release may delete the call on that thread: the handle is let go, not joined.
  thread_owner thread_{thread_owner::at_end::detach};
  volatile LONG count_ = 1;
};
