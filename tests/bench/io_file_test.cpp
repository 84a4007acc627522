#include "bench/io_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "bench/page_buffer.h"
#include "engine_support.h"
#include "golden.h"
#include "recorded_errors.h"
#include "support/scoped_win.h"
#include "support/text.h"

namespace {
// Runs the commands of `spec`, separated by " ; ", on one io_file and a buffer of 3 pages, and says
// what each did. open existing|create|missing [raw] [overlapped]; write|read at length (`at` bytes
// into the buffer; a read tells its first byte); aread|awrite at length offset (overlapped, waited
// for); seek offset; end; size; flush; close; sector bytes (the strict rules' sector size).
std::string run_commands(const std::string& spec, const std::wstring& path) {
  page_buffer memory(3 * 4096);
  for (size_t i = 0; i < 3 * 4096; ++i) memory.data[i] = uint8_t(i);
  io_file f;
  recorded_errors errors;
  scoped_handle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::string out;
  for (std::string rest = spec + " ; "; rest.size() > 3; rest.erase(0, rest.find(" ; ") + 3)) {
    const std::vector<std::string> w = words(rest.substr(0, rest.find(" ; ")));
    const auto n = [&](size_t i) { return i < w.size() ? uint32_t(std::stoul(w[i])) : 0u; };
    const auto has = [&](const char* word) { return std::find(w.begin(), w.end(), word) != w.end(); };
    bool ok = true;
    std::string said;
    if (w[0] == "open") {
      ok = f.open(w[1] == "missing" ? path + L"-missing\\f.tmp" : path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                  w[1] == "create" ? CREATE_ALWAYS : OPEN_EXISTING,
                  (has("raw") ? FILE_FLAG_NO_BUFFERING : 0) | (has("overlapped") ? FILE_FLAG_OVERLAPPED : 0), &errors);
    } else if (w[0] == "write" || w[0] == "read") {
      ok = w[0] == "write" ? f.write(memory.data + n(1), n(2)) : f.read(memory.data + n(1), n(2));
      if (ok && w[0] == "read") said = " first byte " + std::to_string(memory.data[n(1)]);
    } else if (w[0] == "aread" || w[0] == "awrite") {
      // Tagged for no port packet, the event left to the request to reset, as the engine does.
      OVERLAPPED ov{};
      ov.hEvent = no_port_event(event.get());
      set_overlapped_offset(ov, n(3), event_reset::by_next_request);
      bool pending = false;
      ok = w[0] == "awrite" ? f.write_async(memory.data + n(1), n(2), ov, pending)
                            : f.read_async(memory.data + n(1), n(2), ov, pending);
      uint32_t transferred = 0;
      if (ok) ok = WaitForSingleObject(plain_event(ov), 5000) == WAIT_OBJECT_0;
      if (ok) said = request_finished(ov) ? " finished" : " unfinished";
      if (ok) ok = f.overlapped_result(ov, transferred);
      if (ok) said += " transferred " + std::to_string(transferred);
    } else if (w[0] == "seek") {
      ok = f.seek(n(1));
    } else if (w[0] == "end") {
      ok = f.set_end();
    } else if (w[0] == "size") {
      uint64_t size = 0;
      ok = f.get_size(size);
      said = " " + std::to_string(size);
    } else if (w[0] == "flush") {
      ok = f.flush();
    } else if (w[0] == "close") {
      f.close();
      said = std::string(" last api ") + (f.last_api ? f.last_api : "none");
    } else {
      set_strict_io_rules(n(1));
    }
    out += rest.substr(0, rest.find(" ; ")) + ": " + (ok ? "ok" : "failed") + said + ", position " +
           std::to_string(f.position) +
           (f.last_api ? std::string(", last ") + f.last_api + " " + std::to_string(f.last_error) : "") + "\n";
    for (const std::string& line : errors.lines()) out += "  " + line + "\n";
    errors.all.clear();
  }
  set_strict_io_rules(test_sector_size);
  f.close();
  DeleteFileW(path.c_str());
  const std::string dir = to_utf8(path);
  for (size_t at; (at = out.find(dir)) != std::string::npos;) out.replace(at, dir.size(), "<file>");
  return out;
}
}  // namespace

// A file opened where its folder is missing; a synchronous round trip; Windows' rules for
// unbuffered handles (length, buffer address and offset multiples of the sector), applied whatever
// the platform allows, for plain and overlapped requests, smaller with smaller sectors; a cached
// handle takes any request.
TEST(io_file, opens_round_trips_and_the_unbuffered_rules) {
  scratch_dir dir(L"io_cases");
  expect_cases("bench/io_file_cases.txt",
               [&](const std::string& spec) { return run_commands(spec, dir.file(L"f.tmp")); });
}

// Only the reset asked for clears a signalled event; the offset is the request's.
TEST(io_file, an_event_is_reset_only_when_asked) {
  scoped_handle event(CreateEventW(nullptr, TRUE, TRUE, nullptr));
  OVERLAPPED ov{};
  ov.hEvent = no_port_event(event.get());
  set_overlapped_offset(ov, 4096, event_reset::by_next_request);
  EXPECT_EQ(plain_event(ov), event.get());
  EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_OBJECT_0);
  set_overlapped_offset(ov, 4096);
  EXPECT_EQ(WaitForSingleObject(event.get(), 0), DWORD(WAIT_TIMEOUT));
  EXPECT_EQ(ov.Offset, 4096u);
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
