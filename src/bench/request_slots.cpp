#include "bench/request_slots.h"

#include <cstring>

#include "support/fatal.h"

request_slots::~request_slots() {
  drain();
  for (request_slot& s : slots) {
    if (s.overlapped.hEvent) CloseHandle(s.overlapped.hEvent);
    if (s.buffer) VirtualFree(s.buffer, 0, MEM_RELEASE);
  }
}

bool request_slots::prepare(uint32_t count, uint32_t buffer_size) {
  buffer_size_ = buffer_size;
  slots.resize(count);
  wait_list_.reserve(count < MAXIMUM_WAIT_OBJECTS ? count : MAXIMUM_WAIT_OBJECTS);
  for (request_slot& s : slots) {
    s.overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!s.overlapped.hEvent) fatal("CreateEvent");
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
  for (request_slot& s : slots) {
    if (!s.in_flight) continue;
    DWORD done = 0;
    GetOverlappedResult(file_, &s.overlapped, &done, TRUE);
    s.in_flight = false;
  }
}

void request_slots::wait_any() {
  // Only requests still in flight are waited for: a finished slot's event stays signalled.
  wait_list_.clear();
  const size_t n = slots.size();
  for (size_t k = 0; k < n && wait_list_.size() < MAXIMUM_WAIT_OBJECTS; ++k) {
    const request_slot& s = slots[(wait_from_ + k) % n];
    if (s.in_flight) wait_list_.push_back(s.overlapped.hEvent);
  }
  if (n) wait_from_ = (wait_from_ + MAXIMUM_WAIT_OBJECTS) % n;
  if (wait_list_.empty()) return;
  WaitForMultipleObjects(DWORD(wait_list_.size()), wait_list_.data(), FALSE, INFINITE);
}
