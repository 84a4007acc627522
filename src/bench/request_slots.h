#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// The buffers and events of one test. Requests still in flight when the slots go away are
// cancelled and waited for, so the system never writes into freed memory.
struct request_slot {
  uint8_t* buffer = nullptr;
  OVERLAPPED overlapped{};  // hEvent carries the tagged handle: no completion-port packet
  HANDLE event = nullptr;   // the plain handle, for waiting and closing
  bool active = false;
  bool in_flight = false;
};

class request_slots {
 public:
  request_slots() = default;
  ~request_slots();
  request_slots(const request_slots&) = delete;
  request_slots& operator=(const request_slots&) = delete;

  // False when memory or an event could not be had.
  bool prepare(uint32_t count, uint32_t buffer_size);
  // The file whose requests these are; set before the first issue.
  void attach(HANDLE file) { file_ = file; }
  void drain();

  // True when a request in flight has already finished, so there is nothing to wait for.
  bool any_finished() const;
  // Waits until at least one in-flight request may have completed (at most 64 events a wait).
  void wait_any();

  std::vector<request_slot> slots;

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
  std::vector<HANDLE> wait_list_;
  size_t wait_from_ = 0;
};
