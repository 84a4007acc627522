#include "bench/io_file.h"

#include <gtest/gtest.h>

#include "bench/page_buffer.h"
#include "engine_support.h"
#include "recorded_errors.h"
#include "support/scoped_win.h"

namespace {
std::wstring here(const wchar_t* name) {
  wchar_t cwd[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, cwd);
  return std::wstring(cwd) + L"\\" + name;
}
}  // namespace

TEST(io_file, open_in_missing_folder_reports_create_file) {
  recorded_errors errors;
  io_file f;
  const std::wstring path = here(L"no-such-folder\\f.tmp");
  EXPECT_FALSE(f.open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, &errors));
  ASSERT_EQ(errors.lines().size(), 1u);
  std::string utf8(path.begin(), path.end());
  EXPECT_EQ(errors.lines()[0], "CreateFile 3 [" + utf8 + " 80000000 00000001 00000003 40000000]");
  EXPECT_STREQ(f.last_api, "CreateFile");
  EXPECT_EQ(f.last_error, 3u);
  f.close();
  EXPECT_EQ(f.last_api, nullptr);
  f.close();
}

TEST(io_file, synchronous_round_trip) {
  const std::wstring path = here(L"io_sync.tmp");
  recorded_errors errors;
  {
    io_file f;
    ASSERT_TRUE(f.open(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS, 0, &errors));
    char data[100];
    for (int i = 0; i < 100; ++i) data[i] = char(i);
    EXPECT_TRUE(f.write(data, 100));
    EXPECT_EQ(f.position, 100u);
    uint64_t size = 0;
    EXPECT_TRUE(f.get_size(size));
    EXPECT_EQ(size, 100u);
    EXPECT_TRUE(f.seek(10));
    EXPECT_EQ(f.position, 10u);
    char back[20];
    EXPECT_TRUE(f.read(back, 20));
    EXPECT_EQ(back[0], 10);
    EXPECT_EQ(f.position, 30u);
    EXPECT_FALSE(f.read(back, 20) && f.read(back, 20) && f.read(back, 20) && f.read(back, 20));  // short at the end
    EXPECT_TRUE(f.seek(50));
    EXPECT_TRUE(f.set_end());
    EXPECT_TRUE(f.get_size(size));
    EXPECT_EQ(size, 50u);
    EXPECT_TRUE(f.flush());
  }  // the destructor closes
  EXPECT_TRUE(errors.lines().empty());
  EXPECT_TRUE(DeleteFileW(path.c_str()));
}

TEST(io_file, requests_done_at_once_and_refused_at_the_end_are_seen_finished) {
  const std::wstring path = here(L"io_async.tmp");
  recorded_errors errors;
  io_file f;
  ASSERT_TRUE(f.open(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_FLAG_OVERLAPPED, &errors));
  scoped_handle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  OVERLAPPED ov{};
  ov.hEvent = no_port_event(event.get());
  ASSERT_EQ(plain_event(ov), event.get());
  char buf[512] = {1};
  bool pending = true;
  set_overlapped_offset(ov, 0, event_reset::by_next_request);
  ASSERT_TRUE(f.write_async(buf, sizeof buf, ov, pending));
  // Done at once or later, the event tells the waiter and the look before a wait sees it.
  EXPECT_EQ(WaitForSingleObject(event.get(), 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(request_finished(ov));
  uint32_t transferred = 0;
  ASSERT_TRUE(f.overlapped_result(ov, transferred));
  EXPECT_EQ(transferred, 512u);

  // Only the reset asked for now clears a signalled event.
  set_overlapped_offset(ov, 4096, event_reset::by_next_request);
  EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_OBJECT_0);
  set_overlapped_offset(ov, 4096);
  EXPECT_EQ(WaitForSingleObject(event.get(), 0), DWORD(WAIT_TIMEOUT));
  EXPECT_EQ(ov.Offset, 4096u);

  // Past the end: refused at once or pending, the request ends signalled, finished, with no bytes.
  EXPECT_TRUE(f.read_async(buf, sizeof buf, ov, pending));
  EXPECT_EQ(WaitForSingleObject(event.get(), 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(request_finished(ov));
  transferred = 1;
  ASSERT_TRUE(f.overlapped_result(ov, transferred));
  EXPECT_EQ(transferred, 0u);
  EXPECT_TRUE(errors.lines().empty());
  f.close();
  EXPECT_TRUE(DeleteFileW(path.c_str()));
}

// Windows' rules for unbuffered handles, applied whatever the platform allows.
TEST(io_file, strict_rules_refuse_unaligned_unbuffered_requests_as_windows_does) {
  const std::wstring path = here(L"io_strict.tmp");
  recorded_errors errors;
  page_buffer memory(3 * 4096);
  ASSERT_NE(memory.data, nullptr);
  {
    io_file f;
    ASSERT_TRUE(f.open(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_FLAG_NO_BUFFERING, &errors));
    EXPECT_TRUE(f.write(memory.data, 8192));
    EXPECT_FALSE(f.write(memory.data, 1000));        // length
    EXPECT_FALSE(f.write(memory.data + 512, 4096));  // buffer address
    EXPECT_TRUE(f.seek(100));
    EXPECT_FALSE(f.read(memory.data, 4096));  // offset
    EXPECT_TRUE(f.seek(4096));
    EXPECT_TRUE(f.read(memory.data, 4096));
  }
  EXPECT_EQ(errors.lines(), (std::vector<std::string>{"WriteFile 87 [1000]", "WriteFile 87 [4096]", "ReadFile 87 []"}));
  errors.all.clear();

  io_file f;
  ASSERT_TRUE(f.open(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING,
                     FILE_FLAG_NO_BUFFERING | FILE_FLAG_OVERLAPPED, &errors));
  scoped_handle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  OVERLAPPED ov{};
  ov.hEvent = event.get();
  bool pending = false;
  set_overlapped_offset(ov, 2048);
  EXPECT_FALSE(f.read_async(memory.data, 4096, ov, pending));
  set_overlapped_offset(ov, 0);
  EXPECT_FALSE(f.write_async(memory.data, 2048, ov, pending));
  EXPECT_STREQ(f.last_api, "WriteFile");
  EXPECT_EQ(f.last_error, uint32_t(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(errors.lines(), (std::vector<std::string>{"ReadFile 87 [2048 4096]", "WriteFile 87 [0 2048]"}));
  {
    // Smaller sectors allow smaller requests.
    strict_sector small(512);
    set_overlapped_offset(ov, 512);
    ASSERT_TRUE(f.read_async(memory.data + 512, 512, ov, pending));
    uint32_t transferred = 0;
    EXPECT_EQ(WaitForSingleObject(event.get(), 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(f.overlapped_result(ov, transferred));
    EXPECT_EQ(transferred, 512u);
  }
  f.close();

  // A cached handle takes any request.
  errors.all.clear();
  ASSERT_TRUE(f.open(path, GENERIC_READ, 0, OPEN_EXISTING, 0, &errors));
  EXPECT_TRUE(f.seek(3));
  EXPECT_TRUE(f.read(memory.data + 1, 1000));
  EXPECT_TRUE(errors.lines().empty());
  f.close();
  EXPECT_TRUE(DeleteFileW(path.c_str()));
}

TEST(io_file, request_in_flight_reports_incomplete) {
  const std::wstring pipe = L"\\\\.\\pipe\\folvi-io-file-test";
  scoped_handle server(CreateNamedPipeW(pipe.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED, PIPE_TYPE_BYTE, 1,
                                        4096, 4096, 0, nullptr));
  ASSERT_TRUE(server.valid());
  io_file client;
  ASSERT_TRUE(client.open(pipe, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
  scoped_handle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  OVERLAPPED ov{};
  ov.hEvent = event.get();
  char buf[16];
  bool pending = false;
  ASSERT_TRUE(client.read_async(buf, sizeof buf, ov, pending));
  EXPECT_TRUE(pending);
  uint32_t transferred = 0;
  EXPECT_TRUE(client.overlapped_result(ov, transferred));
  EXPECT_EQ(transferred, transfer_in_flight);
  CancelIo(client.handle);
  WaitForSingleObject(event.get(), INFINITE);
}

TEST(io_file, misuse_stops_the_program) {
  io_file f;
  uint64_t size;
  EXPECT_DEATH(f.get_size(size), "io_file::get_size");
}
