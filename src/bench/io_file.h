#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "support/api_error.h"

// One file or device handle; every failing call is reported once to error_cb and remembered.
class io_file {
 public:
  io_file() = default;
  ~io_file();
  io_file(const io_file&) = delete;
  io_file& operator=(const io_file&) = delete;

  bool open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags,
            api_error_cb* error_cb);
  void close();
  bool is_open() const { return handle != INVALID_HANDLE_VALUE; }

  bool get_size(uint64_t& size);
  bool read(void* buffer, DWORD length);
  bool write(const void* buffer, DWORD length);
  bool read_async(void* buffer, DWORD length, OVERLAPPED& ov, bool& pending);
  bool write_async(const void* buffer, DWORD length, OVERLAPPED& ov, bool& pending);
  // transferred is 0xFFFFFFFF while the request is still in flight.
  bool overlapped_result(OVERLAPPED& ov, uint32_t& transferred);
  bool seek(uint64_t offset);
  bool set_end();
  bool set_valid_data(uint64_t length);
  bool flush();

  HANDLE handle = INVALID_HANDLE_VALUE;
  std::string path_utf8;
  std::wstring path;
  uint64_t position = 0;
  bool close_on_destroy = true;
  api_error_cb* error_cb = nullptr;
  const char* last_api = nullptr;
  uint32_t last_error = 0;

 private:
  void require_open(const char* operation) const;
  bool refused_unaligned(const void* buffer, uint64_t offset, DWORD length) const;
  bool refused_valid_data() const;
  void report(const char* api, uint32_t code, const char* format = "", ...);

  bool unbuffered_ = false;  // opened with FILE_FLAG_NO_BUFFERING
};

// Windows refuses an unbuffered request whose buffer address, file offset or length is not a
// multiple of the volume's sector size, and SetFileValidData unless SeManageVolumePrivilege is
// enabled; Wine, RAM disks and some redirectors allow both, so a mistake would pass unseen there.
// Strict rules make every io_file apply Windows' rules itself and fail such a call with the code
// Windows gives (ERROR_INVALID_PARAMETER, ERROR_PRIVILEGE_NOT_HELD). 0 leaves the rules to the system.
void set_strict_io_rules(uint32_t sector_size);
uint32_t strict_io_sector_size();  // 0 when the system's rules apply

constexpr uint32_t transfer_in_flight = 0xFFFFFFFF;

// ReadFile and WriteFile reset a request's event themselves when they start the request, so an
// event handed to one of them next needs no reset of its own (a call to the system saved per request).
enum class event_reset { now, by_next_request };
void set_overlapped_offset(OVERLAPPED& ov, uint64_t offset, event_reset reset = event_reset::now);

// An event handle with its low bit set tells the system to signal the event but not to queue a
// completion-port packet for the request. Requests carry the tagged handle in hEvent; waits and
// CloseHandle use the plain one.
HANDLE no_port_event(HANDLE event);
HANDLE plain_event(const OVERLAPPED& ov);
// True once the system has stored the request's final status (HasOverlappedIoCompleted).
bool request_finished(const OVERLAPPED& ov);
