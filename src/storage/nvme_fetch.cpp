#include <cstring>
#include <string>
#include <vector>

#include "storage/ata_requests.h"
#include "storage/drive_health.h"
#include "storage/drive_kinds.h"
#include "storage/nvme_requests.h"
#include "support/format_string.h"
#include "support/hex_dump.h"

namespace {
// Strongest first; a port that refuses them all gets nothing more.
const struct {
  DWORD access;
  const char* text;
} port_opens[] = {
    {GENERIC_READ | GENERIC_WRITE, "read | write"},
    {GENERIC_READ, "read"},
    {FILE_READ_ATTRIBUTES, "read_attributes"},
    {0, "null"},
};

api_handle open_scsi_port(device_query& query, uint8_t port) {
  const std::wstring path = format_string(L"\\\\.\\Scsi%u:", unsigned(port));
  for (const auto& open : port_opens) {
    api_handle h = 0;
    DWORD error = 0;
    if (query.api().create_file(path, open.access, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0, h, error))
      return h;
    query.errors()->report_api_error("CreateFile", error, "%s", open.text);
  }
  return 0;
}

struct admin_command {
  const char* name;
  uint8_t opcode;
  uint32_t namespace_id;
  uint32_t cdw10;
  size_t size;
};
const admin_command identify_controller{"IOCTL_SCSI_MINIPORT / NVME_IDENTIFY", nvme_admin_identify, 0,
                                        nvme_identify_controller, nvme_identify_size};
const admin_command health_log{"IOCTL_SCSI_MINIPORT / NVME_GET_LOG_PAGE", nvme_admin_get_log_page, nvme_all_namespaces,
                               nvme_health_log_cdw10, nvme_log_size};

bool miniport_command(device_query& query, api_handle port, const admin_command& c, uint32_t timeout, uint8_t* out) {
  std::vector<uint8_t> buffer(sizeof(nvme_pass_through_header) + c.size, 0);
  nvme_pass_through_header header{};
  header.srb.header_length = sizeof header.srb;
  std::memcpy(header.srb.signature, "NvmeMini", sizeof header.srb.signature);
  header.srb.timeout = timeout;
  header.srb.control_code = nvme_pass_through_control_code;
  header.srb.length = uint32_t(buffer.size() - sizeof header.srb);
  header.command[0] = c.opcode;
  header.command[1] = c.namespace_id;
  header.command[10] = c.cdw10;
  header.direction = nvme_from_device_to_host;
  header.data_buffer_length = uint32_t(c.size);
  header.return_buffer_length = uint32_t(buffer.size());
  std::memcpy(buffer.data(), &header, sizeof header);
  DWORD returned = 0;
  if (!query.ioctl(port, ioctl_scsi_miniport, c.name, buffer.data(), DWORD(buffer.size()), buffer.data(),
                   DWORD(buffer.size()), returned) ||
      !query.check_response_size(returned, uint32_t(buffer.size()), uint32_t(buffer.size())))
    return false;
  std::memcpy(&header, buffer.data(), sizeof header);
  if (header.srb.return_code != 0) {
    query.errors()->report_api_error("CheckSrbStatus", header.srb.return_code);
    return false;
  }
  // Completion dword 3: the phase tag in bit 16, the status field above it.
  const uint32_t status = header.completion[3] >> 17;
  if (status != 0) {
    query.errors()->report_api_error("CheckNvmeStatus", status);
    return false;
  }
  std::memcpy(out, buffer.data() + sizeof header, c.size);
  return true;
}

struct protocol_request {
  const char* name;
  uint32_t property;
  uint32_t data_type;
  uint32_t value;
  uint32_t sub_value;
  size_t size;
};
const protocol_request identify_by_property{"IOCTL_STORAGE_QUERY_PROPERTY / NVMe identify controller",
                                            property_adapter_protocol_specific,
                                            nvme_data_type_identify,
                                            nvme_identify_controller,
                                            0,
                                            nvme_identify_size};
const protocol_request health_by_property{"IOCTL_STORAGE_QUERY_PROPERTY / NVMe health log",
                                          property_device_protocol_specific,
                                          nvme_data_type_log_page,
                                          nvme_log_health,
                                          0,
                                          nvme_log_size};

bool protocol_command(device_query& query, api_handle h, const protocol_request& r, uint8_t* out) {
  std::vector<uint8_t> buffer(sizeof(protocol_query) + r.size, 0);
  protocol_query request{r.property,
                         0,
                         {protocol_type_nvme, r.data_type, r.value, r.sub_value, sizeof(protocol_specific_data),
                          uint32_t(r.size), 0, 0, 0, 0}};
  std::memcpy(buffer.data(), &request, sizeof request);
  DWORD returned = 0;
  if (!query.ioctl(h, IOCTL_STORAGE_QUERY_PROPERTY, r.name, buffer.data(), DWORD(buffer.size()), buffer.data(),
                   DWORD(buffer.size()), returned) ||
      !query.check_response_size(returned, sizeof(protocol_descriptor), uint32_t(buffer.size())))
    return false;
  protocol_descriptor reply;
  std::memcpy(&reply, buffer.data(), sizeof reply);
  const uint64_t start = offsetof(protocol_descriptor, data) + uint64_t(reply.data.data_offset);
  if (reply.data.data_offset < sizeof(protocol_specific_data) || reply.data.data_length < r.size ||
      start + r.size > returned) {
    query.errors()->report_api_error("CheckProtocolData", no_error_code, "%lu %lu",
                                     (unsigned long)reply.data.data_offset, (unsigned long)reply.data.data_length);
    return false;
  }
  std::memcpy(out, buffer.data() + start, r.size);
  return true;
}

void keep_identify(drive_info& drive, const std::vector<uint8_t>& block) {
  drive.nvme_identify = block;
  drive.has_nvme_identify = true;
}

void dump_nvme_blocks(indenting_logger* log, const drive_info& drive) {
  log->indent(2);
  if (drive.has_nvme_identify) {
    log->log(2, "Identify block:\n");
    hex_dump(log, drive.nvme_identify.data(), 512);
  }
  if (drive.has_nvme_log) {
    log->log(2, "Log page / SMART:\n");
    hex_dump(log, drive.nvme_log.data(), drive.nvme_log.size());
  }
  log->unindent(2);
}
}  // namespace

void nvme_fetch(device_query& query, api_handle h, drive_info& drive, const scan_options& options) {
  std::vector<uint8_t> identify(nvme_identify_size, 0);
  if (drive.has_scsi_address) {
    api_handle port = open_scsi_port(query, drive.scsi_port);
    scoped_api_handle owned(query.api(), port);
    if (port) {
      if (miniport_command(query, port, identify_controller, options.timeout, identify.data()))
        keep_identify(drive, identify);
      if (miniport_command(query, port, health_log, options.timeout, drive.nvme_log.data())) drive.has_nvme_log = true;
    }
  }
  // The inbox NVMe driver answers only the storage protocol query, on the disk itself.
  if (!drive.has_nvme_identify && protocol_command(query, h, identify_by_property, identify.data()))
    keep_identify(drive, identify);
  if (!drive.has_nvme_log && protocol_command(query, h, health_by_property, drive.nvme_log.data()))
    drive.has_nvme_log = true;
}

void query_nvme(device_query& query, api_handle h, drive_info& drive, const scan_options& options) {
  if (!is_nvme(drive)) return;
  indenting_logger* log = query.log();
  if (drive.has_scsi_address) log->log(2, "--- NVMe ---\n");
  else log->log(2, "* Looks like an NVMe device, but has no SCSI address\n");
  const size_t timing = query.begin_timing("** FETCH_NVME_INFO");
  nvme_fetch(query, h, drive, options);
  query.end_timing(timing);
  dump_nvme_blocks(log, drive);
}
