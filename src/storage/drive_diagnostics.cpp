#include <cstring>

#include "storage/drive_ioctls.h"
#include "storage/drive_steps.h"
#include "support/hex_dump.h"

// Requests whose answers only go to the log, to tell controllers and drivers apart afterwards.

namespace {
constexpr response_spec scsi_bus_info_counts{response_spec::count8, 0, scsi_bus_info_header, sizeof(scsi_bus_data)};

void log_units(indenting_logger* log, const uint8_t* reply, DWORD returned, const scsi_bus_data& bus) {
  uint32_t at = bus.inquiry_data_offset;
  for (size_t unit = 1; unit <= bus.number_of_logical_units && at != 0; ++unit) {
    if (uint64_t(at) + sizeof(scsi_inquiry_header) > returned) break;
    scsi_inquiry_header u;
    std::memcpy(&u, reply + at, sizeof u);
    if (uint64_t(at) + sizeof u + u.inquiry_data_length > returned) break;
    log->log(2, "%2zu. Path.Target.Lun    %u.%u.%u\n", unit, unsigned(u.path_id), unsigned(u.target_id),
             unsigned(u.lun));
    log->indent(4);
    log->log(2, "DeviceClaimed      %u\n", unsigned(u.device_claimed));
    log->log(2, "InquiryDataLength  %u\n", unsigned(u.inquiry_data_length));
    log->log(2, "InquiryData:\n");
    hex_dump(log, reply + at + sizeof u, u.inquiry_data_length);
    log->unindent(4);
    at = u.next_inquiry_data_offset;
  }
}

}  // namespace

void query_inquiry_data(device_query& query, api_handle h) {
  const uint8_t* reply = query.buffer();
  DWORD returned = 0;
  if (!query.ioctl(h, IOCTL_SCSI_GET_INQUIRY_DATA, "IOCTL_SCSI_GET_INQUIRY_DATA", nullptr, 0, returned) ||
      !query.check_response_spec(reply, returned, scsi_bus_info_counts))
    return;
  indenting_logger* log = query.log();
  log->indent(2);
  log->log(2, "[%u bytes]\n", unsigned(returned));
  log->log(2, "NumberOfBuses              %u\n", unsigned(reply[0]));
  for (size_t i = 0; i < reply[0]; ++i) {
    scsi_bus_data bus;
    std::memcpy(&bus, reply + scsi_bus_info_header + i * sizeof bus, sizeof bus);
    log->log(2, "%2zu. InitiatorBusId         %u\n", i + 1, unsigned(bus.initiator_bus_id));
    log->indent(4);
    log->log(2, "InquiryDataOffset      %u\n", unsigned(bus.inquiry_data_offset));
    log->log(2, "NumberOfLogicalUnits   %u\n", unsigned(bus.number_of_logical_units));
    log_units(log, reply, returned, bus);
    log->unindent(4);
  }
  log->unindent(2);
}

namespace {
void query_hotplug_info(device_query& query, api_handle h) {
  DWORD returned = 0;
  if (!query.ioctl(h, IOCTL_STORAGE_GET_HOTPLUG_INFO, "IOCTL_STORAGE_GET_HOTPLUG_INFO", nullptr, 0, returned) ||
      !query.check_response_size(returned, sizeof(hotplug_info), query_buffer_size))
    return;
  hotplug_info info;
  std::memcpy(&info, query.buffer(), sizeof info);
  indenting_logger* log = query.log();
  log->indent(2);
  log->log(2, "MediaRemovable             %u\n", unsigned(info.media_removable));
  log->log(2, "MediaHotplug               %u\n", unsigned(info.media_hotplug));
  log->log(2, "DeviceHotplug              %u\n", unsigned(info.device_hotplug));
  log->log(2, "WriteCacheEnableOverride   %u\n", unsigned(info.write_cache_enable_override));
  log->unindent(2);
}

void query_miniport(device_query& query, api_handle h) {
  DWORD returned = 0;
  if (!query_storage_property(query, h, property_miniport, "IOCTL_STORAGE_QUERY_PROPERTY / StorageMiniportProperty",
                              query.buffer(), query_buffer_size, returned) ||
      !query.check_response_size(returned, sizeof(miniport_descriptor), query_buffer_size))
    return;
  miniport_descriptor m;
  std::memcpy(&m, query.buffer(), sizeof m);
  indenting_logger* log = query.log();
  log->indent(2);
  log->log(2, "PortDriver                 %u\n", unsigned(m.port_driver));
  log->log(2, "LUNResetSupported          %u\n", unsigned(m.lun_reset_supported));
  log->log(2, "TargetResetSupported       %u\n", unsigned(m.target_reset_supported));
  log->unindent(2);
}
}  // namespace

void query_diagnostics(device_query& query, api_handle h) {
  query_inquiry_data(query, h);
  query_hotplug_info(query, h);
  query_miniport(query, h);
}
