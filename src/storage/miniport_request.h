#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "storage/device_query.h"
#include "storage/nvme_requests.h"

// One miniport control request (IOCTL_SCSI_MINIPORT) as CSMI and CISS drivers take them: an
// SRB_IO_CONTROL header naming the interface and request, then the request's own bytes, sent and
// answered in the same buffer. Reads of the reply never go past what came back: what is missing
// reads as zeros.
class miniport_request {
 public:
  miniport_request(const char* signature, uint32_t control_code, uint32_t timeout, size_t payload_size);

  uint8_t* payload() { return buffer_.data() + sizeof(srb_io_control); }
  size_t payload_size() const { return buffer_.size() - sizeof(srb_io_control); }

  // Sends the request, timed under `name` (and named in the log when `log_name`). False, reported,
  // when the call fails, the reply is shorter than its header, or the header's return code is not
  // 0 (reported as `status_name` with that code).
  bool send(device_query& query, api_handle h, const std::string& name, const char* status_name, bool log_name = true);

  // The payload bytes that came back.
  size_t returned() const { return returned_; }
  const uint8_t* reply() const { return buffer_.data() + sizeof(srb_io_control); }
  template <typename T>
  T read(size_t offset = 0) const {
    T value{};
    if (offset < returned_) {
      const size_t n = returned_ - offset < sizeof value ? returned_ - offset : sizeof value;
      std::memcpy(&value, reply() + offset, n);
    }
    return value;
  }

 private:
  std::vector<uint8_t> buffer_;
  size_t returned_ = 0;
};
