#include "bench/request_slots.h"

#include <cstring>

#include "bench/io_file.h"
#include "support/fatal.h"

request_slots::~request_slots() {
  drain();
  for (request_slot& s : slots) {
    if (s.event) CloseHandle(s.event);
    if (s.buffer) VirtualFree(s.buffer, 0, MEM_RELEASE);
  }
}

bool request_slots::prepare(uint32_t count, uint32_t buffer_size) {
  slots.resize(count);
  wait_list_.reserve(count < MAXIMUM_WAIT_OBJECTS ? count : MAXIMUM_WAIT_OBJECTS);
  for (request_slot& s : slots) {
    s.event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!s.event) fatal("CreateEvent");
    s.overlapped.hEvent = no_port_event(s.event);
    // Page-aligned and zero-filled, as unbuffered requests need.
    s.buffer = static_cast<uint8_t*>(VirtualAlloc(nullptr, buffer_size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!s.buffer) return false;
    // Fault the pages in now, before the clock starts, not during the first requests.
    memset(s.buffer, 0, buffer_size);
  }
  return true;
}

void request_slots::drain() {
  bool any = false;
  for (const request_slot& s : slots) any |= s.in_flight;
  if (!any || file_ == INVALID_HANDLE_VALUE) return;
  CancelIo(file_);
  // Finished, refused or cancelled, every request issued signals its event in the end.
  for (request_slot& s : slots) {
    if (!s.in_flight) continue;
    WaitForSingleObject(s.event, INFINITE);
    s.in_flight = false;
  }
}

bool request_slots::any_finished() const {
  for (const request_slot& s : slots)
    if (s.in_flight && request_finished(s.overlapped)) return true;
  return false;
}

void request_slots::wait_any() {
  // Only requests still in flight are waited for: a finished slot's event stays signalled.
  wait_list_.clear();
  const size_t n = slots.size();
  for (size_t k = 0; k < n && wait_list_.size() < MAXIMUM_WAIT_OBJECTS; ++k) {
    const request_slot& s = slots[(wait_from_ + k) % n];
    if (s.in_flight) wait_list_.push_back(s.event);
  }
  if (n) wait_from_ = (wait_from_ + MAXIMUM_WAIT_OBJECTS) % n;
  if (wait_list_.empty()) return;
  WaitForMultipleObjects(DWORD(wait_list_.size()), wait_list_.data(), FALSE, INFINITE);
}
