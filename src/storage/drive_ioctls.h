#pragma once

#include <windows.h>
#include <winioctl.h>

#include <cstdint>

// The disk requests and the reply layouts the drive queries read. Replies are copied out of the
// scratch buffer into these plain structs, so their sizes must match the system's exactly.

#ifndef IOCTL_SCSI_GET_INQUIRY_DATA
#define IOCTL_SCSI_GET_INQUIRY_DATA CTL_CODE(FILE_DEVICE_CONTROLLER, 0x0403, METHOD_BUFFERED, FILE_ANY_ACCESS)
#endif
#ifndef IOCTL_SCSI_GET_ADDRESS
#define IOCTL_SCSI_GET_ADDRESS CTL_CODE(FILE_DEVICE_CONTROLLER, 0x0406, METHOD_BUFFERED, FILE_ANY_ACCESS)
#endif

// STORAGE_PROPERTY_ID values asked for.
enum storage_property : uint32_t {
  property_device = 0,
  property_adapter = 1,
  property_device_id = 2,
  property_miniport = 5,
  property_seek_penalty = 7,
  property_trim = 8,
};

// STORAGE_PROPERTY_QUERY, standard query.
struct property_query {
  uint32_t property_id;
  uint32_t query_type;
  uint8_t additional[4];
};
static_assert(sizeof(property_query) == 12, "STORAGE_PROPERTY_QUERY");

// STORAGE_DEVICE_NUMBER
struct device_number_reply {
  uint32_t device_type;
  uint32_t device_number;
  uint32_t partition_number;
};
static_assert(sizeof(device_number_reply) == 12, "STORAGE_DEVICE_NUMBER");

// STORAGE_DEVICE_DESCRIPTOR up to its raw properties.
struct device_descriptor_header {
  uint32_t version;
  uint32_t size;
  uint8_t device_type;
  uint8_t device_type_modifier;
  uint8_t removable_media;
  uint8_t command_queueing;
  uint32_t vendor_id_offset;
  uint32_t product_id_offset;
  uint32_t product_revision_offset;
  uint32_t serial_number_offset;
  uint32_t bus_type;
  uint32_t raw_properties_length;
};
static_assert(sizeof(device_descriptor_header) == 36, "STORAGE_DEVICE_DESCRIPTOR header");

// STORAGE_DEVICE_ID_DESCRIPTOR and its STORAGE_IDENTIFIER entries, each without its data.
struct device_id_header {
  uint32_t version;
  uint32_t size;
  uint32_t number_of_identifiers;
};
static_assert(sizeof(device_id_header) == 12, "STORAGE_DEVICE_ID_DESCRIPTOR header");
struct storage_identifier_header {
  uint32_t code_set;
  uint32_t type;
  uint16_t identifier_size;
  uint16_t next_offset;
  uint32_t association;
};
static_assert(sizeof(storage_identifier_header) == 16, "STORAGE_IDENTIFIER header");

// STORAGE_ADAPTER_DESCRIPTOR
struct adapter_descriptor {
  uint32_t version;
  uint32_t size;
  uint32_t maximum_transfer_length;
  uint32_t maximum_physical_pages;
  uint32_t alignment_mask;
  uint8_t adapter_uses_pio;
  uint8_t adapter_scans_down;
  uint8_t command_queueing;
  uint8_t accelerated_transfer;
  uint8_t bus_type;
  uint8_t pad;
  uint16_t bus_major_version;
  uint16_t bus_minor_version;
  uint8_t srb_type;
  uint8_t address_type;
};
static_assert(sizeof(adapter_descriptor) == 32, "STORAGE_ADAPTER_DESCRIPTOR");
// Older systems end the descriptor after the bus versions.
constexpr uint32_t adapter_descriptor_minimum = 30;

// DEVICE_TRIM_DESCRIPTOR and DEVICE_SEEK_PENALTY_DESCRIPTOR share this shape.
struct flag_descriptor {
  uint32_t version;
  uint32_t size;
  uint8_t flag;
  uint8_t pad[3];
};
static_assert(sizeof(flag_descriptor) == 12, "DEVICE_TRIM_DESCRIPTOR");

// DISK_GEOMETRY_EX up to its variable Data.
struct disk_geometry_ex_header {
  int64_t cylinders;
  uint32_t media_type;
  uint32_t tracks_per_cylinder;
  uint32_t sectors_per_track;
  uint32_t bytes_per_sector;
  int64_t disk_size;
};
static_assert(sizeof(disk_geometry_ex_header) == 32, "DISK_GEOMETRY_EX header");

// GETVERSIONINPARAMS
struct smart_version_reply {
  uint8_t version;
  uint8_t revision;
  uint8_t reserved;
  uint8_t ide_device_map;
  uint32_t capabilities;
  uint32_t reserved_words[4];
};
static_assert(sizeof(smart_version_reply) == 24, "GETVERSIONINPARAMS");

// DRIVE_LAYOUT_INFORMATION_EX up to its entries.
struct drive_layout_header {
  uint32_t partition_style;
  uint32_t partition_count;
  union {
    struct {
      uint32_t signature;
      uint32_t checksum;
    } mbr;
    struct {
      GUID disk_id;
      int64_t starting_usable_offset;
      int64_t usable_length;
      uint32_t max_partition_count;
    } gpt;
  };
};
static_assert(sizeof(drive_layout_header) == 48, "DRIVE_LAYOUT_INFORMATION_EX header");

// PARTITION_INFORMATION_EX
struct partition_entry {
  uint32_t partition_style;
  uint32_t pad;
  int64_t starting_offset;
  int64_t partition_length;
  uint32_t partition_number;
  uint8_t rewrite_partition;
  uint8_t is_service_partition;
  uint8_t pad2[2];
  union {
    struct {
      uint8_t partition_type;
      uint8_t boot_indicator;
      uint8_t recognized_partition;
      uint8_t pad;
      uint32_t hidden_sectors;
      GUID partition_id;
    } mbr;
    struct {
      GUID partition_type;
      GUID partition_id;
      uint64_t attributes;
      wchar_t name[36];
    } gpt;
  };
};
static_assert(sizeof(partition_entry) == 144, "PARTITION_INFORMATION_EX");

// SCSI_ADDRESS
struct scsi_address_reply {
  uint32_t length;
  uint8_t port_number;
  uint8_t path_id;
  uint8_t target_id;
  uint8_t lun;
};
static_assert(sizeof(scsi_address_reply) == 8, "SCSI_ADDRESS");

// SCSI_ADAPTER_BUS_INFO: a count byte, then SCSI_BUS_DATA entries from offset 4.
struct scsi_bus_data {
  uint8_t number_of_logical_units;
  uint8_t initiator_bus_id;
  uint8_t pad[2];
  uint32_t inquiry_data_offset;
};
static_assert(sizeof(scsi_bus_data) == 8, "SCSI_BUS_DATA");
constexpr uint32_t scsi_bus_info_header = 4;

// SCSI_INQUIRY_DATA without its data.
struct scsi_inquiry_header {
  uint8_t path_id;
  uint8_t target_id;
  uint8_t lun;
  uint8_t device_claimed;
  uint32_t inquiry_data_length;
  uint32_t next_inquiry_data_offset;
};
static_assert(sizeof(scsi_inquiry_header) == 12, "SCSI_INQUIRY_DATA header");

// STORAGE_HOTPLUG_INFO
struct hotplug_info {
  uint32_t size;
  uint8_t media_removable;
  uint8_t media_hotplug;
  uint8_t device_hotplug;
  uint8_t write_cache_enable_override;
};
static_assert(sizeof(hotplug_info) == 8, "STORAGE_HOTPLUG_INFO");

// STORAGE_MINIPORT_DESCRIPTOR as far as the scan reads it.
struct miniport_descriptor {
  uint32_t version;
  uint32_t size;
  uint32_t port_driver;
  uint8_t lun_reset_supported;
  uint8_t target_reset_supported;
  uint8_t pad[2];
};
static_assert(sizeof(miniport_descriptor) == 16, "STORAGE_MINIPORT_DESCRIPTOR");
