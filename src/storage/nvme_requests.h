#pragma once

#include <cstddef>
#include <cstdint>

// NVMe admin commands as Windows carries them: the miniport pass-through of NVMe miniport drivers
// (IOCTL_SCSI_MINIPORT with the "NvmeMini" header) and the storage protocol query of the inbox
// driver (IOCTL_STORAGE_QUERY_PROPERTY with protocol-specific data).

constexpr size_t nvme_identify_size = 4096;
constexpr size_t nvme_log_size = 512;

constexpr uint8_t nvme_admin_get_log_page = 0x02;
constexpr uint8_t nvme_admin_identify = 0x06;
constexpr uint32_t nvme_identify_controller = 1;  // CNS
constexpr uint32_t nvme_log_health = 2;
constexpr uint32_t nvme_all_namespaces = 0xFFFFFFFF;
// CDW10 of Get Log Page: the number of dwords less one above the log identifier.
constexpr uint32_t nvme_health_log_cdw10 = (uint32_t(nvme_log_size / 4 - 1) << 16) | nvme_log_health;
static_assert(nvme_health_log_cdw10 == 0x007F0002, "Get Log Page CDW10");

// SRB_IO_CONTROL
struct srb_io_control {
  uint32_t header_length;
  char signature[8];
  uint32_t timeout;
  uint32_t control_code;
  uint32_t return_code;
  uint32_t length;
};
static_assert(sizeof(srb_io_control) == 28, "SRB_IO_CONTROL");

constexpr uint32_t nvme_pass_through_control_code = 0xE0002000;  // CTL_CODE(0xE000, 0x800, buffered, any)
constexpr uint32_t nvme_from_device_to_host = 2;

// The NVMe miniport pass-through header; the data follows it.
struct nvme_pass_through_header {
  srb_io_control srb;
  uint32_t vendor_specific[6];
  uint32_t command[16];    // the submission queue entry
  uint32_t completion[4];  // the completion queue entry
  uint32_t direction;
  uint32_t queue_id;  // 0: admin
  uint32_t data_buffer_length;
  uint32_t meta_data_length;
  uint32_t return_buffer_length;
};
static_assert(sizeof(nvme_pass_through_header) == 152, "NVME_PASS_THROUGH_IOCTL header");
static_assert(offsetof(nvme_pass_through_header, command) == 52, "NVMe command");
static_assert(offsetof(nvme_pass_through_header, completion) == 116, "NVMe completion");

// STORAGE_PROTOCOL_SPECIFIC_DATA
struct protocol_specific_data {
  uint32_t protocol_type;
  uint32_t data_type;
  uint32_t request_value;
  uint32_t request_sub_value;
  uint32_t data_offset;  // from the start of this structure
  uint32_t data_length;
  uint32_t fixed_return_data;
  uint32_t request_sub_value2;
  uint32_t request_sub_value3;
  uint32_t request_sub_value4;
};
static_assert(sizeof(protocol_specific_data) == 40, "STORAGE_PROTOCOL_SPECIFIC_DATA");

// STORAGE_PROPERTY_QUERY with protocol-specific data as its additional parameters, and
// STORAGE_PROTOCOL_DATA_DESCRIPTOR: both put the protocol data at offset 8.
struct protocol_query {
  uint32_t property_id;
  uint32_t query_type;
  protocol_specific_data data;
};
static_assert(sizeof(protocol_query) == 48, "protocol STORAGE_PROPERTY_QUERY");
struct protocol_descriptor {
  uint32_t version;
  uint32_t size;
  protocol_specific_data data;
};
static_assert(sizeof(protocol_descriptor) == 48, "STORAGE_PROTOCOL_DATA_DESCRIPTOR");

constexpr uint32_t property_adapter_protocol_specific = 49;  // StorageAdapterProtocolSpecificProperty
constexpr uint32_t property_device_protocol_specific = 50;   // StorageDeviceProtocolSpecificProperty
constexpr uint32_t protocol_type_nvme = 3;
constexpr uint32_t nvme_data_type_identify = 1;
constexpr uint32_t nvme_data_type_log_page = 2;
