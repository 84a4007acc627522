#include "bench/request_slots.h"

#include <cstring>

#include "bench/io_file.h"

namespace {
constexpr uint32_t shared_region_below = 65536;  // the allocation granularity
constexpr uint32_t page = 4096;

uint8_t* allocate(size_t size) {
  return static_cast<uint8_t*>(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}
}  // namespace

request_slots::~request_slots() {
  drain();
  for (HANDLE e : events_) CloseHandle(e);
  for (uint8_t* r : regions_) VirtualFree(r, 0, MEM_RELEASE);
}

const char* request_slots::prepare(uint32_t count, uint32_t buffer_size) {
  slots.resize(count);
  if (count == 0) return nullptr;
  const size_t event_count = count < MAXIMUM_WAIT_OBJECTS ? count : MAXIMUM_WAIT_OBJECTS;
  for (size_t k = 0; k < event_count; ++k) {
    HANDLE e = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!e) return "CreateEvent";
    events_.push_back(e);
  }
  wait_list_.reserve(event_count);
  waited_.assign(event_count, false);
  // Page-aligned and zero-filled, as unbuffered requests need.
  const size_t stride = (size_t(buffer_size) + page - 1) / page * page;
  uint8_t* shared = nullptr;
  if (buffer_size < shared_region_below) {
    shared = allocate(stride * count);
    if (!shared) return "VirtualAlloc";
    regions_.push_back(shared);
  }
  for (size_t k = 0; k < slots.size(); ++k) {
    request_slot& s = slots[k];
    s.event = events_[k % event_count];
    s.overlapped.hEvent = no_port_event(s.event);
    if (shared) {
      s.buffer = shared + k * stride;
    } else {
      s.buffer = allocate(buffer_size);
      if (!s.buffer) return "VirtualAlloc";
      regions_.push_back(s.buffer);
    }
    // Fault the pages in now, before the clock starts, not during the first requests.
    memset(s.buffer, 0, buffer_size);
  }
  return nullptr;
}

void request_slots::drain() {
  bool any = false;
  for (const request_slot& s : slots) any |= s.in_flight;
  if (!any || file_ == INVALID_HANDLE_VALUE) return;
  CancelIo(file_);
  // Finished, refused or cancelled, every request issued gets its status in the end. A shared
  // event may already be set by a sibling: the status, not the event, says when this one is done.
  for (request_slot& s : slots) {
    if (!s.in_flight) continue;
    while (!request_finished(s.overlapped)) WaitForSingleObject(s.event, 1);
    s.in_flight = false;
  }
}

bool request_slots::any_finished() const {
  for (const request_slot& s : slots)
    if (s.in_flight && request_finished(s.overlapped)) return true;
  return false;
}

void request_slots::wait_any() {
  // Only the events of requests in flight: a finished slot's event may stay signalled.
  wait_list_.clear();
  waited_.assign(events_.size(), false);
  for (size_t k = 0; k < slots.size(); ++k) {
    const size_t e = k % events_.size();
    if (!slots[k].in_flight || waited_[e]) continue;
    waited_[e] = true;
    wait_list_.push_back(events_[e]);
  }
  if (wait_list_.empty()) return;
  WaitForMultipleObjects(DWORD(wait_list_.size()), wait_list_.data(), FALSE, INFINITE);
}

void request_slots::idle(request_slot& slot) {
  if (slots.size() > events_.size()) ResetEvent(slot.event);
}
