#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// What the storage scan finds: drives, controllers, volumes, and how they stack.

constexpr uint32_t unknown_u32 = 0xFFFFFFFF;
constexpr uint64_t unknown_u64 = ~uint64_t(0);

// Where a drive's IDENTIFY or SMART block came from; 0 means no block.
enum source_bits : uint32_t {
  source_ata = 0x01,
  source_ata_pt = 0x02,
  source_scsi_pt = 0x04,
  source_scsi_pt_dt = 0x08,
  source_ctrl = 0x10,
  source_nvme = 0x20,
  source_os = 0x40,
};
using source_mask = uint32_t;
// The names of the set bits, one blank apart; "-" for none.
std::string source_mask_text(source_mask mask);

// A piece of a partition: what a volume extent covers, or a gap (never linked).
struct partition_slice {
  uint64_t offset = 0;
  uint64_t length = 0;
  int link = -1;  // into storage_stack::volume_links
};

struct drive_partition {
  uint32_t number = 0;
  uint64_t length = 0;
  uint64_t offset = 0;
  uint32_t style = 0;  // 0 MBR, 1 GPT
  bool gap = false;    // fills a range no table entry covers
  // MBR
  uint8_t mbr_type = 0;
  bool boot = false;
  uint32_t hidden_sectors = 0;
  // GPT
  GUID gpt_type{};
  GUID gpt_id{};
  uint64_t gpt_attributes = 0;
  std::wstring gpt_name;
  std::vector<partition_slice> slices;
};

// The SMART block as the drive query keeps it: attributes, thresholds, and what SMART RETURN
// STATUS said (0 unknown, 1 good, 3 threshold exceeded).
struct smart_block {
  std::array<uint8_t, 512> attributes{};
  std::array<uint8_t, 512> thresholds{};
  uint32_t health = 0;
};

struct drive_info {
  uint32_t device_number = unknown_u32;
  std::wstring description;  // friendly name, else device description
  std::wstring msdos_device;
  std::wstring device_path;  // \\.\PhysicalDriveN
  std::wstring interface_path;
  std::wstring instance_id;  // lower case
  DWORD parent_devinst = unknown_u32;
  std::wstring parent_instance_id;  // lower case
  uint16_t parent_vendor_id = 0;
  uint16_t parent_product_id = 0;
  std::wstring controller_name;
  bool opened = false;
  uint32_t open_access = unknown_u32;
  std::string vendor_org, product_org, revision_org, serial, serial_raw;
  uint32_t bus_type = 0;
  bool removable_media = false;
  uint32_t adapter_bus_type = 0;
  std::vector<std::string> device_ids;  // identifier types 1, 2, 3 and 8, in reply order
  uint32_t trim_enabled = unknown_u32;
  uint32_t incurs_seek_penalty = unknown_u32;
  bool has_geometry = false;
  uint64_t cylinders = unknown_u64;
  uint32_t tracks_per_cylinder = unknown_u32;
  uint32_t sectors_per_track = unknown_u32;
  uint32_t bytes_per_sector = unknown_u32;
  uint64_t capacity = unknown_u64;
  uint32_t smart_caps = 0;
  uint32_t layout_style = 0;  // 0 none, else PARTITION_STYLE + 1
  std::vector<drive_partition> partitions;
  uint32_t prediction = 0;  // failure prediction: 0 unknown, 1 none predicted, 3 failure predicted
  bool has_health_raw = false;
  std::array<uint8_t, 512> health_raw{};
  bool has_scsi_address = false;
  uint8_t scsi_port = 0, scsi_path = 0, scsi_target = 0, scsi_lun = 0;
  uint32_t usb_supported = 0, usb_capable = 0, usb_speed = 0;
  source_mask identify_source = 0;
  std::array<uint8_t, 512> identify{};
  source_mask smart_source = 0;
  smart_block smart;
  bool has_nvme_identify = false;
  std::vector<uint8_t> nvme_identify;  // 4,096 bytes when present
  bool has_nvme_log = false;
  std::array<uint8_t, 512> nvme_log{};
  bool is_nvme_by_path = false;
};

// A named counter a controller keeps for one of its drives.
struct oem_attribute {
  std::string name;  // empty: shown by its id
  uint32_t id = 0;
  bool numeric = true;
  uint64_t value = 0;
  std::vector<uint8_t> raw;
};

// A drive as its RAID controller reports it ("phy").
struct phy_drive {
  uint32_t number = 0;  // what the controller's RAID volumes list
  uint64_t capacity = 0;
  std::string model, serial, firmware;
  std::string address;  // a SAS address (CSMI) or "port:box:bay" (CISS)
  bool has_identify = false;
  std::array<uint8_t, 512> identify{};
  bool has_smart = false;
  smart_block smart;
  std::vector<oem_attribute> oem_attributes;
};

struct raid_volume {
  uint32_t number = 0;
  uint32_t raid_level = 0;   // the level in hexadecimal digits: 0x01 RAID 1, 0x10 RAID 10 (raid_levels.h)
  uint64_t capacity = 0;     // bytes
  uint32_t stripe_size = 0;  // bytes
  std::string label;
  std::string unique_id;         // CISS: the logical drive's page 0x83 identifier, as Windows reports it
  std::vector<uint32_t> drives;  // phy numbers
  std::vector<uint32_t> spares;
};

enum class controller_protocol { csmi = 1, ciss = 2 };

// A SCSI adapter that answered CSMI or CISS.
struct controller_info {
  std::wstring interface_path;
  std::wstring instance_id;  // lower case
  std::string description;
  controller_protocol protocol = controller_protocol::csmi;
  std::string identification;  // driver, board and firmware as the interface reports them
  std::vector<phy_drive> phys;
  std::vector<raid_volume> raid_volumes;
};

struct volume_extent {
  uint32_t disk_number = unknown_u32;
  uint64_t length = 0;
  uint64_t offset = 0;
  int link = -1;
  uint32_t flags = 0;  // bit 0: no partition of a known drive holds it
  uint32_t member_index = 0;
};
constexpr uint32_t extent_outside_partitions = 1;

// FSCTL_GET_NTFS_VOLUME_DATA's first 96 bytes.
struct ntfs_volume_data {
  int64_t serial_number;
  int64_t number_sectors;
  int64_t total_clusters;
  int64_t free_clusters;
  int64_t total_reserved;
  uint32_t bytes_per_sector;
  uint32_t bytes_per_cluster;
  uint32_t bytes_per_file_record_segment;
  uint32_t clusters_per_file_record_segment;
  int64_t mft_valid_data_length;
  int64_t mft_start_lcn;
  int64_t mft2_start_lcn;
  int64_t mft_zone_start;
  int64_t mft_zone_end;
};
static_assert(sizeof(ntfs_volume_data) == 96, "NTFS_VOLUME_DATA_BUFFER layout");

struct volume_info {
  std::wstring volume_name;  // \\?\Volume{...}\ with its trailing backslash
  std::wstring nt_device_name;
  std::wstring interface_path;
  int link = -1;
  bool has_info = false;
  uint32_t info_error = 0;
  bool is_locked = false;
  std::wstring label;
  uint32_t serial_number = 0;
  std::wstring file_system;
  uint32_t fs_flags = 0;
  uint64_t free_bytes = unknown_u64;
  uint64_t free_bytes_for_user = unknown_u64;
  uint64_t total_bytes_for_user = unknown_u64;
  std::vector<std::wstring> mount_points;
  uint32_t open_access = unknown_u32;
  uint64_t length = unknown_u64;
  std::vector<volume_extent> extents;
  bool has_ntfs_data = false;
  ntfs_volume_data ntfs{};
  uint16_t ntfs_major_version = 0;
  uint16_t ntfs_minor_version = 0;
  bool vds_matched = false;
  GUID vds_volume_id{};
  uint32_t vds_volume_type = 0;
  uint32_t vds_status = 0, vds_health = 0, vds_transition_state = 0;
  uint64_t vds_size = 0;
  uint32_t vds_flags = 0, vds_recommended_fs = 0;
  bool is_ram_disk = false;
};

// One unit of storage as the user would name it.
struct stack_entry {
  const drive_info* drive = nullptr;  // null: only its controller reports it
  const controller_info* controller = nullptr;
  const raid_volume* raid = nullptr;  // set: the entry is an array
  std::vector<const phy_drive*> members;
};

// Indices, -1 for none.
struct volume_link {
  int drive = -1, partition = -1, slice = -1, volume = -1, extent = -1;
};

struct storage_stack {
  SYSTEMTIME scan_time{};
  LONG tz_bias = 0;
  std::wstring computer_name;
  OSVERSIONINFOEXW os_version{};
  std::vector<drive_info> drives;
  std::vector<controller_info> controllers;
  std::vector<stack_entry> stack;
  std::vector<volume_info> volumes;
  std::vector<volume_link> volume_links;
};

struct scan_options {
  uint32_t timeout = 30;  // seconds, for every pass-through command
  bool query_smart = true;
  bool strict_checksums = true;
};
