#include <cstring>

#include "storage/drive_health.h"
#include "storage/drive_ioctls.h"
#include "storage/drive_identify.h"
#include "storage/drive_steps.h"
#include "storage/drives.h"
#include "storage/usb_details.h"
#include "support/hex_dump.h"

namespace {
template <typename T>
T read_at(const uint8_t* reply, size_t offset = 0) {
  T value;
  std::memcpy(&value, reply + offset, sizeof value);
  return value;
}

void log_descriptor(indenting_logger* log, const uint8_t* reply, DWORD returned, const device_descriptor_header& d) {
  log->indent(2);
  log->log(2, "[%u bytes]\n", unsigned(returned));
  log->log(2, "DeviceType                 %u\n", unsigned(d.device_type));
  log->log(2, "DeviceTypeModifier         %u\n", unsigned(d.device_type_modifier));
  log->log(2, "RemovableMedia             %u\n", unsigned(d.removable_media));
  log->log(2, "CommandQueueing            %u\n", unsigned(d.command_queueing));
  log->log(2, "VendorIdOffset             %u\n", unsigned(d.vendor_id_offset));
  log->log(2, "ProductIdOffset            %u\n", unsigned(d.product_id_offset));
  log->log(2, "ProductRevisionOffset      %u\n", unsigned(d.product_revision_offset));
  log->log(2, "SerialNumberOffset         %u\n", unsigned(d.serial_number_offset));
  log->log(2, "BusType                    %u\n", unsigned(d.bus_type));
  log->log(2, "RawPropertiesLength        %u\n", unsigned(d.raw_properties_length));
  if (d.raw_properties_length != 0) {
    if (returned < uint64_t(d.raw_properties_length) + 39) {
      log->log(2, "RawDeviceProperties        INVALID SIZE!\n");
    } else {
      log->log(2, "RawDeviceProperties:\n");
      hex_dump(log, reply + sizeof d, d.raw_properties_length);
    }
  }
}
}  // namespace

bool query_storage_property(device_query& query, api_handle h, uint32_t property, const char* name, void* out,
                            DWORD out_size, DWORD& returned) {
  property_query request{property, 0, {}};
  return query.ioctl(h, IOCTL_STORAGE_QUERY_PROPERTY, name, &request, sizeof request, out, out_size, returned);
}

void query_device_descriptor(device_query& query, api_handle h, drive_info& drive) {
  uint8_t* reply = query.buffer();
  DWORD returned = 0;
  if (!query_storage_property(query, h, property_device, "IOCTL_STORAGE_QUERY_PROPERTY / StorageDevice", reply,
                              query_buffer_size, returned) ||
      !query.check_response_size(returned, sizeof(device_descriptor_header), query_buffer_size - 1))
    return;
  reply[returned] = 0;
  const auto d = read_at<device_descriptor_header>(reply);
  drive.vendor_org = descriptor_string(reply, returned, d.vendor_id_offset, true);
  drive.product_org = descriptor_string(reply, returned, d.product_id_offset, true);
  drive.revision_org = descriptor_string(reply, returned, d.product_revision_offset, true);
  drive.serial = descriptor_string(reply, returned, d.serial_number_offset, true);
  drive.serial_raw = descriptor_string(reply, returned, d.serial_number_offset, false);
  drive.bus_type = d.bus_type;
  drive.removable_media = d.removable_media != 0;
  indenting_logger* log = query.log();
  log_descriptor(log, reply, returned, d);
  log->log(2, "Vendor                     [%s]\n", drive.vendor_org.c_str());
  log->log(2, "Product                    [%s]\n", drive.product_org.c_str());
  log->log(2, "Revsion                    [%s]\n", drive.revision_org.c_str());
  log->log(2, "Serial                     [%s]\n", drive.serial.c_str());
  log->unindent(2);
}

void query_device_ids(device_query& query, api_handle h, drive_info& drive) {
  drive.device_ids.clear();
  const uint8_t* reply = query.buffer();
  DWORD returned = 0;
  if (!query_storage_property(query, h, property_device_id, "IOCTL_STORAGE_QUERY_PROPERTY / StorageDeviceId",
                              query.buffer(), query_buffer_size, returned) ||
      !query.check_response_size(returned, sizeof(device_id_header), query_buffer_size))
    return;
  const auto header = read_at<device_id_header>(reply);
  indenting_logger* log = query.log();
  log->indent(2);
  log->log(2, "Version                    0x%08x\n", unsigned(header.version));
  log->log(2, "NumberOfIdentifiers        %u\n", unsigned(header.number_of_identifiers));
  size_t at = sizeof header;
  for (size_t i = 0; i < header.number_of_identifiers; ++i) {
    if (at + sizeof(storage_identifier_header) > returned) break;
    const auto id = read_at<storage_identifier_header>(reply, at);
    const uint8_t* bytes = reply + at + sizeof id;
    if (at + sizeof id + id.identifier_size > returned) break;
    if (id.type == 1 || id.type == 2 || id.type == 3 || id.type == 8)
      drive.device_ids.emplace_back(reinterpret_cast<const char*>(bytes), id.identifier_size);
    log->log(2, "%2zu. CodeSet                %u\n", i + 1, unsigned(id.code_set));
    log->indent(4);
    log->log(2, "Type                   %u\n", unsigned(id.type));
    log->log(2, "Association            %u\n", unsigned(id.association));
    log->log(2, "Identifier:\n");
    hex_dump(log, bytes, id.identifier_size);
    log->unindent(4);
    if (id.next_offset == 0) break;
    at += id.next_offset;
  }
  log->unindent(2);
}

void query_adapter_descriptor(device_query& query, api_handle h, drive_info& drive) {
  DWORD returned = 0;
  if (!query_storage_property(query, h, property_adapter, "IOCTL_STORAGE_QUERY_PROPERTY / StorageAdapter",
                              query.buffer(), query_buffer_size, returned) ||
      !query.check_response_size(returned, adapter_descriptor_minimum, query_buffer_size))
    return;
  adapter_descriptor a{};
  std::memcpy(&a, query.buffer(), returned < sizeof a ? returned : sizeof a);
  drive.adapter_bus_type = a.bus_type;
  indenting_logger* log = query.log();
  log->indent(2);
  log->log(2, "MaximumTransferLength      %u\n", unsigned(a.maximum_transfer_length));
  log->log(2, "AlignmentMask              %u\n", unsigned(a.alignment_mask));
  log->log(2, "AdapterUsesPio             %u\n", unsigned(a.adapter_uses_pio));
  log->log(2, "AdapterScansDown           %u\n", unsigned(a.adapter_scans_down));
  log->log(2, "CommandQueueing            %u\n", unsigned(a.command_queueing));
  log->log(2, "AcceleratedTransfer        %u\n", unsigned(a.accelerated_transfer));
  log->log(2, "BusType                    %u\n", unsigned(a.bus_type));
  log->log(2, "BusMajorVersion            %u\n", unsigned(a.bus_major_version));
  log->log(2, "BusMinorVersion            %u\n", unsigned(a.bus_minor_version));
  log->unindent(2);
}

namespace {
bool query_flag(device_query& query, api_handle h, uint32_t property, const char* name, uint32_t& flag) {
  flag_descriptor reply{};
  DWORD returned = 0;
  if (!query_storage_property(query, h, property, name, &reply, sizeof reply, returned) ||
      !query.check_response_size(returned, sizeof reply, sizeof reply))
    return false;
  flag = reply.flag;
  return true;
}
}  // namespace

void query_trim_and_seek_penalty(device_query& query, api_handle h, drive_info& drive) {
  // Both properties exist only from Windows 7 on.
  if (query.api().os_version_index() <= 5) return;
  if (query_flag(query, h, property_trim, "IOCTL_STORAGE_QUERY_PROPERTY / StorageDeviceTrim", drive.trim_enabled))
    query.log()->log_indented(2, 2, "TrimEnabled                %u\n", unsigned(drive.trim_enabled));
  if (query_flag(query, h, property_seek_penalty, "IOCTL_STORAGE_QUERY_PROPERTY / StorageDeviceSeekPenalty",
                 drive.incurs_seek_penalty))
    query.log()->log_indented(2, 2, "IncursSeekPenalty          %u\n", unsigned(drive.incurs_seek_penalty));
}

void query_smart_version(device_query& query, api_handle h, drive_info& drive) {
  smart_version_reply v{};
  DWORD returned = 0;
  if (!query.ioctl(h, SMART_GET_VERSION, "SMART_GET_VERSION", nullptr, 0, &v, sizeof v, returned)) {
    drive.smart_caps = 0;
    return;
  }
  if (!query.check_response_size(returned, sizeof v, sizeof v)) return;
  drive.smart_caps = v.capabilities;
  indenting_logger* log = query.log();
  log->indent(2);
  log->log(2, "bVersion                   %u\n", unsigned(v.version));
  log->log(2, "bRevision                  %u\n", unsigned(v.revision));
  log->log(2, "bReserved                  %u\n", unsigned(v.reserved));
  log->log(2, "bIDEDeviceMap              %u\n", unsigned(v.ide_device_map));
  log->log(2, "fCapabilities              %u\n", unsigned(v.capabilities));
  log->log(2, "dwReserved                 %08lx %08lx %08lx %08lx\n", (unsigned long)v.reserved_words[0],
           (unsigned long)v.reserved_words[1], (unsigned long)v.reserved_words[2], (unsigned long)v.reserved_words[3]);
  log->unindent(2);
}

void query_scsi_address(device_query& query, api_handle h, drive_info& drive) {
  scsi_address_reply a{};
  DWORD returned = 0;
  if (!query.ioctl(h, IOCTL_SCSI_GET_ADDRESS, "IOCTL_SCSI_GET_ADDRESS", nullptr, 0, &a, sizeof a, returned) ||
      !query.check_response_size(returned, sizeof a, sizeof a))
    return;
  drive.has_scsi_address = true;
  drive.scsi_port = a.port_number;
  drive.scsi_path = a.path_id;
  drive.scsi_target = a.target_id;
  drive.scsi_lun = a.lun;
  indenting_logger* log = query.log();
  log->indent(2);
  log->log(2, "PortNumber                 %u\n", unsigned(a.port_number));
  log->log(2, "PathId                     %u\n", unsigned(a.path_id));
  log->log(2, "TargetId                   %u\n", unsigned(a.target_id));
  log->log(2, "Lun                        %u\n", unsigned(a.lun));
  log->unindent(2);
}

namespace {
constexpr uint32_t bus_type_usb = 7;

void query_usb(device_query& query, drive_info& drive) {
  const LONG indentation = query.log()->indentation();
  const size_t timing = query.begin_timing("** GET_USB_DETAILS");
  const usb_connection usb = query_usb_details(query, drive.parent_devinst);
  query.end_timing(timing);
  drive.usb_supported = usb.supported;
  drive.usb_capable = usb.capable;
  drive.usb_speed = usb.speed;
  indenting_logger* log = query.log();
  if (log->indentation() > indentation) log->unindent(int(log->indentation() - indentation));
}
}  // namespace

bool query_drive(device_api& api, drive_info& drive, const scan_options& options, indenting_logger* log) {
  device_query query(api, log);
  scoped_api_handle h(api, open_drive(query, drive, true));
  if (!h) return false;
  drive.opened = true;
  query_device_descriptor(query, h.get(), drive);
  query_device_ids(query, h.get(), drive);
  query_adapter_descriptor(query, h.get(), drive);
  query_trim_and_seek_penalty(query, h.get(), drive);
  query_geometry(query, h.get(), drive);
  query_smart_version(query, h.get(), drive);
  query_layout(query, h.get(), drive);
  if (options.query_smart) predict_failure(query, h.get(), drive, options);
  query_scsi_address(query, h.get(), drive);
  query_diagnostics(query, h.get());
  if (drive.bus_type == bus_type_usb) query_usb(query, drive);
  ata_identify(query, h.get(), drive, options);
  if (options.query_smart) smart_read(query, h.get(), drive, options);
  query_nvme(query, h.get(), drive, options);
  h.reset();
  query.log_timings();
  update_names_from_identify(drive, log);
  return true;
}
