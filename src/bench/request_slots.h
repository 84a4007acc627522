#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// The buffers and events of one test. Requests still in flight when the slots go away are
// cancelled and waited for, so the system never writes into freed memory.
//
// One wait takes at most 64 events, so beyond 64 slots the events are shared: slot i signals event
// i mod 64. A wait then covers every request in flight, and the look at each request's status
// before the wait (any_finished) finds a completion whose signal a sibling's new request cleared.
struct request_slot {
  uint8_t* buffer = nullptr;
  OVERLAPPED overlapped{};  // hEvent carries the tagged handle: no completion-port packet
  HANDLE event = nullptr;   // the plain handle, for waiting
  bool active = false;
  bool in_flight = false;
  uint64_t issued_at = 0;  // counter ticks, when its request went out
};

class request_slots {
 public:
  request_slots() = default;
  ~request_slots();
  request_slots(const request_slots&) = delete;
  request_slots& operator=(const request_slots&) = delete;

  // Null when done, else the call that failed ("CreateEvent", "VirtualAlloc"; its error is the
  // thread's last). Buffers below 64 KiB share one allocation, each at a page boundary: a region
  // of its own would reserve 64 KiB of address space apiece.
  const char* prepare(uint32_t count, uint32_t buffer_size);
  // The file whose requests these are; set before the first issue.
  void attach(HANDLE file) { file_ = file; }
  // Cancels the requests in flight and waits until each has finished.
  void drain();

  // True when a request in flight has already finished, so there is nothing to wait for.
  bool any_finished() const;
  // Waits until at least one request in flight may have completed.
  void wait_any();
  // A slot that takes no further part: its event no longer speaks for it.
  void idle(request_slot& slot);

  std::vector<request_slot> slots;

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
  std::vector<HANDLE> events_;
  std::vector<uint8_t*> regions_;
  std::vector<HANDLE> wait_list_;
  std::vector<bool> waited_;
};
