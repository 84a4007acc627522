#include "bench/request_slots.h"

#include <gtest/gtest.h>

#include <set>

#include "bench/io_file.h"
#include "engine_support.h"
#include "support/scoped_win.h"

namespace {
// Reads from a pipe stay pending until the other end writes or they are cancelled.
struct pipe_pair {
  std::wstring name;
  scoped_handle server;
  io_file client;
  explicit pipe_pair(const wchar_t* leaf) : name(std::wstring(L"\\\\.\\pipe\\") + leaf) {
    server.reset(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 4096, 4096, 0, nullptr));
    if (server.valid())
      client.open(name, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  }
  bool ok() const { return server.valid() && client.is_open(); }
};

// Issues a pending read on every slot.
void issue_reads(request_slots& slots, io_file& client, uint32_t size) {
  slots.attach(client.handle);
  for (request_slot& s : slots.slots) {
    set_overlapped_offset(s.overlapped, 0, event_reset::by_next_request);
    bool pending = false;
    ASSERT_TRUE(client.read_async(s.buffer, size, s.overlapped, pending));
    ASSERT_TRUE(pending);
    s.in_flight = true;
  }
}

struct wait_call {
  request_slots* slots;
  HANDLE done;
};
DWORD WINAPI wait_on_thread(void* param) {
  wait_call& w = *static_cast<wait_call*>(param);
  w.slots->wait_any();
  SetEvent(w.done);
  return 0;
}
}  // namespace

TEST(request_slots, a_finished_request_wakes_the_wait_whichever_slot_and_drain_cancels_the_rest) {
  pipe_pair pipe(L"folvi-request-slots-wait");
  ASSERT_TRUE(pipe.ok());
  const DWORD handles = process_handle_count();
  {
    request_slots slots;
    ASSERT_EQ(slots.prepare(100, 4096), nullptr);  // more than one wait takes
    issue_reads(slots, pipe.client, 4096);
    EXPECT_FALSE(slots.any_finished());
    for (request_slot& s : slots.slots) EXPECT_NE(s.overlapped.hEvent, s.event);  // tagged: no port packet

    // The last slot's request ends; the others stay pending. The wait must see it.
    ASSERT_TRUE(CancelIoEx(pipe.client.handle, &slots.slots[99].overlapped));
    scoped_handle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    wait_call call{&slots, done.get()};
    scoped_handle thread(CreateThread(nullptr, 0, wait_on_thread, &call, 0, nullptr));
    ASSERT_TRUE(thread.valid());
    const bool woke = WaitForSingleObject(done.get(), 10000) == WAIT_OBJECT_0;
    if (!woke) slots.drain();  // the cancels end the wait that missed it
    WaitForSingleObject(thread.get(), INFINITE);
    ASSERT_TRUE(woke) << "the wait missed slot 99";
    EXPECT_TRUE(slots.any_finished());
    EXPECT_TRUE(request_finished(slots.slots[99].overlapped));
    slots.slots[99].in_flight = false;
    slots.idle(slots.slots[99]);

    // A pending request is waited for on its event, then seen finished with its data.
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(pipe.server.get(), "0123456789abcdef", 16, &written, nullptr));
    while (!slots.any_finished()) slots.wait_any();
    uint32_t transferred = 0;
    ASSERT_TRUE(pipe.client.overlapped_result(slots.slots[0].overlapped, transferred));
    EXPECT_EQ(transferred, 16u);
    EXPECT_EQ(slots.slots[0].buffer[15], 'f');
    slots.slots[0].in_flight = false;

    // The other 98 are cancelled and waited for, not merely forgotten.
    slots.drain();
    for (const request_slot& s : slots.slots) {
      EXPECT_FALSE(s.in_flight);
      EXPECT_TRUE(request_finished(s.overlapped));
    }
    EXPECT_FALSE(pipe.client.overlapped_result(slots.slots[1].overlapped, transferred));
    EXPECT_EQ(pipe.client.last_error, uint32_t(ERROR_OPERATION_ABORTED));
  }
  EXPECT_EQ(process_handle_count(), handles);
}

TEST(request_slots, small_buffers_share_one_region_of_pages) {
  struct {
    uint32_t count, size;
    bool shared;
  } rows[] = {{1024, 1024, true}, {16, 65535, true}, {4, 65536, false}};
  for (const auto& r : rows) {
    request_slots slots;
    ASSERT_EQ(slots.prepare(r.count, r.size), nullptr);
    std::set<void*> regions;
    std::set<uint8_t*> buffers;
    for (const request_slot& s : slots.slots) {
      MEMORY_BASIC_INFORMATION info{};
      ASSERT_NE(VirtualQuery(s.buffer, &info, sizeof info), 0u);
      regions.insert(info.AllocationBase);
      buffers.insert(s.buffer);
      EXPECT_EQ(uintptr_t(s.buffer) % 4096, 0u);
      EXPECT_EQ(s.buffer[r.size - 1], 0);
    }
    EXPECT_EQ(buffers.size(), size_t(r.count));
    EXPECT_EQ(regions.size(), r.shared ? 1u : size_t(r.count)) << r.size;
  }
}
