#include "bench/request_slots.h"

#include <gtest/gtest.h>

#include "bench/io_file.h"
#include "support/scoped_win.h"

namespace {
DWORD handle_count() {
  DWORD n = 0;
  GetProcessHandleCount(GetCurrentProcess(), &n);
  return n;
}
}  // namespace

// Reads from a pipe stay pending until the other end writes: a test that fails with requests in
// flight must cancel them and wait before the buffers and events go.
TEST(request_slots, pending_requests_are_waited_for_then_cancelled_before_release) {
  const std::wstring pipe = L"\\\\.\\pipe\\folvi-request-slots-test";
  scoped_handle server(CreateNamedPipeW(pipe.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 4096, 4096, 0, nullptr));
  ASSERT_TRUE(server.valid());
  io_file client;
  ASSERT_TRUE(client.open(pipe, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
  const DWORD handles = handle_count();
  {
    request_slots slots;
    ASSERT_TRUE(slots.prepare(70, 4096));  // more than one wait can take
    slots.attach(client.handle);
    for (request_slot& s : slots.slots) {
      EXPECT_NE(s.overlapped.hEvent, s.event);  // tagged: no completion-port packet
      set_overlapped_offset(s.overlapped, 0, event_reset::by_next_request);
      bool pending = false;
      ASSERT_TRUE(client.read_async(s.buffer, 4096, s.overlapped, pending));
      ASSERT_TRUE(pending);
      s.in_flight = true;
    }
    EXPECT_FALSE(slots.any_finished());

    // A really pending request is waited for on its event, then seen finished.
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(server.get(), "0123456789abcdef", 16, &written, nullptr));
    slots.wait_any();
    EXPECT_TRUE(slots.any_finished());
    uint32_t transferred = 0;
    ASSERT_TRUE(client.overlapped_result(slots.slots[0].overlapped, transferred));
    EXPECT_EQ(transferred, 16u);
    EXPECT_EQ(slots.slots[0].buffer[15], 'f');
    slots.slots[0].in_flight = false;
  }  // 69 reads still pending: cancelled and waited for here
  EXPECT_EQ(handle_count(), handles);
}
