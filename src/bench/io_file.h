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
  bool volume_extents(void* buffer, DWORD& size);

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
  void report(const char* api, uint32_t code, const char* format = "", ...);
};

constexpr uint32_t transfer_in_flight = 0xFFFFFFFF;

void set_overlapped_offset(OVERLAPPED& ov, uint64_t offset);
