#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "storage/device_api.h"
#include "support/api_error.h"
#include "support/logger.h"

// Where a reply says how many elements follow its header.
struct response_spec {
  enum width { count8, count16, count32 };
  width count_width;
  uint32_t count_offset;
  uint32_t header_size;
  uint32_t element_size;
};
constexpr response_spec volume_extents_spec{response_spec::count32, 0, 8, 24};
constexpr response_spec mountdev_name_spec{response_spec::count16, 0, 2, 1};
constexpr response_spec mountdev_unique_id_spec{response_spec::count16, 0, 2, 1};
constexpr response_spec suggested_link_spec{response_spec::count16, 2, 4, 1};
constexpr response_spec drive_layout_spec{response_spec::count32, 4, 48, 144};

constexpr uint32_t query_buffer_size = 65536;

// The queries of one item (a drive, a volume, a controller): every failure goes to the item's
// diskvol_logger, every request is named in the log and timed, and replies are checked before use.
class device_query {
 public:
  device_query(device_api& api, indenting_logger* log);
  device_query(const device_query&) = delete;
  device_query& operator=(const device_query&) = delete;

  device_api& api() { return api_; }
  indenting_logger* log() { return log_; }
  api_error_cb* errors() { return &errors_; }

  // The item's scratch buffer for replies.
  uint8_t* buffer() { return buffer_.data(); }

  // Logs the request's name, times it and reports a failure as "DeviceIoControl".
  bool ioctl(api_handle h, DWORD code, const char* name, const void* in, DWORD in_size, void* out, DWORD out_size,
             DWORD& returned);
  // Times the request under `name` without logging or reporting it: for callers that name their
  // requests themselves and report failures with details of their own.
  bool timed_ioctl(api_handle h, DWORD code, const char* name, const void* in, DWORD in_size, void* out, DWORD out_size,
                   DWORD& returned, DWORD& error);
  // The error of the last request, 0 when it succeeded.
  DWORD last_error() const { return last_error_; }
  // The same into the scratch buffer.
  bool ioctl(api_handle h, DWORD code, const char* name, const void* in, DWORD in_size, DWORD& returned) {
    return ioctl(h, code, name, in, in_size, buffer(), query_buffer_size, returned);
  }

  // Times a step made of several requests under one name ("** ATA_IDENTIFY").
  size_t begin_timing(const char* name);
  void end_timing(size_t record);

  // "--- IOCTL timing ---" and one line per request, at level 3.
  void log_timings();

  bool check_response_size(uint64_t returned, uint32_t minimum, uint32_t maximum);
  bool check_response_spec(const uint8_t* reply, DWORD returned, const response_spec& spec);

 private:
  struct timing {
    std::string name;
    int64_t start;
    int64_t elapsed;  // ticks
  };
  device_api& api_;
  indenting_logger* log_;
  diskvol_logger errors_;
  std::vector<uint8_t> buffer_;
  std::vector<timing> timings_;
  DWORD last_error_ = 0;
};

// Access masks as the scan logs them: "GR", "GR+GW", "RD+RA", "RA", other bits as "%08X".
std::string access_text(uint32_t access);
