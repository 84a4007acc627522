#include "storage/miniport_request.h"

#include <algorithm>

#include "storage/ata_requests.h"

miniport_request::miniport_request(const char* signature, uint32_t control_code, uint32_t timeout, size_t payload_size)
    : buffer_(sizeof(srb_io_control) + payload_size, 0) {
  srb_io_control header{};
  header.header_length = sizeof header;
  std::memcpy(header.signature, signature, std::min(std::strlen(signature), sizeof header.signature));
  header.timeout = timeout;
  header.control_code = control_code;
  header.length = uint32_t(payload_size);
  std::memcpy(buffer_.data(), &header, sizeof header);
}

bool miniport_request::send(device_query& query, api_handle h, const std::string& name, const char* status_name,
                            bool log_name) {
  if (log_name) query.log()->log(2, "%s\n", name.c_str());
  returned_ = 0;
  DWORD returned = 0, error = 0;
  if (!query.timed_ioctl(h, ioctl_scsi_miniport, name.c_str(), buffer_.data(), DWORD(buffer_.size()), buffer_.data(),
                         DWORD(buffer_.size()), returned, error)) {
    query.errors()->report_api_error("DeviceIoControl", error);
    return false;
  }
  if (!query.check_response_size(returned, sizeof(srb_io_control), uint32_t(buffer_.size()))) return false;
  srb_io_control header;
  std::memcpy(&header, buffer_.data(), sizeof header);
  if (header.return_code != 0) {
    query.errors()->report_api_error(status_name, header.return_code);
    return false;
  }
  returned_ = returned - sizeof(srb_io_control);
  return true;
}
