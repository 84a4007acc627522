#pragma once

#include <windows.h>

// The one lock between the runner thread and the window; held only to copy in or move out.
class results_lock {
 public:
  results_lock() { InitializeCriticalSection(&cs_); }
  ~results_lock() { DeleteCriticalSection(&cs_); }
  results_lock(const results_lock&) = delete;
  results_lock& operator=(const results_lock&) = delete;

  class hold {
   public:
    explicit hold(results_lock& lock) : cs_(&lock.cs_) { EnterCriticalSection(cs_); }
    ~hold() { LeaveCriticalSection(cs_); }
    hold(const hold&) = delete;
    hold& operator=(const hold&) = delete;

   private:
    CRITICAL_SECTION* cs_;
  };

 private:
  CRITICAL_SECTION cs_;
};
