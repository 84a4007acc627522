#pragma once

#include <cstddef>
#include <cstdint>

#include "storage/nvme_requests.h"

// CISS (Smart Array class) requests: IOCTL_SCSI_MINIPORT with an SRB_IO_CONTROL header signed
// "CPQCISS", then one CISS command (LUN address, request block, error information, buffer size)
// and its data buffer. The commands are the controller's BMIC commands through the CISS
// "array controller read" CDB; the reply blocks of identify controller, logical drive identify and
// status, and physical device identify follow the publicly documented CISS/BMIC layouts. The
// logical drive configuration and the physical drive statistics blocks are declared below as this
// program reads them.

constexpr char ciss_signature[] = "CPQCISS";
constexpr uint32_t ciss_control_pass_through = 0x0000CC01;  // the miniport's CISS pass-through

#pragma pack(push, 1)
// ErrorInfo of a CISS command.
struct ciss_error_info {
  uint8_t scsi_status;
  uint8_t sense_length;
  uint16_t command_status;  // 0 success, 2 data underrun
  uint32_t residual_count;
  uint8_t more_error_info[8];
  uint8_t sense[32];
};

// The command after the SRB_IO_CONTROL header; the data buffer follows it.
struct ciss_command {
  uint8_t lun_address[8];  // all zeros: the controller itself
  uint8_t cdb_length;
  uint8_t type_attr_dir;  // type 0 (command), attribute simple, direction read
  uint16_t timeout;       // seconds
  uint8_t cdb[16];
  ciss_error_info error;
  uint32_t buffer_size;
};
#pragma pack(pop)
static_assert(sizeof(ciss_error_info) == 48, "CISS ErrorInfo");
static_assert(sizeof(ciss_command) == 80, "CISS command");
static_assert(offsetof(ciss_command, error) == 28, "CISS command error information");

constexpr uint8_t ciss_type_attr_dir_read = 0x04 << 3 | 0x02 << 6;  // simple attribute, read
constexpr uint16_t ciss_status_success = 0, ciss_status_data_underrun = 2;

// The BMIC command through the CISS "array controller read" CDB.
constexpr uint8_t ciss_array_controller_read = 0x26;
enum bmic_command : uint8_t {
  bmic_identify_logical_drive = 0x10,
  bmic_identify_controller = 0x11,
  bmic_logical_drive_status = 0x12,
  bmic_identify_physical_drive = 0x15,
  bmic_logical_drive_config = 0x50,
  bmic_physical_drive_statistics = 0x78,
};

#pragma pack(push, 1)
// BMIC identify controller (512 bytes).
struct ciss_controller_identity {
  uint8_t configured_logical_drives;
  uint32_t config_signature;
  char running_firmware[4];
  char stored_firmware[4];
  uint8_t hardware_revision;
  uint8_t boot_block_revision[4];
  uint32_t drive_present_map_old;
  uint32_t external_drive_present_map_old;
  uint32_t board_id;
  uint8_t reserved1[14];
  uint8_t scsi_chip_count;
  uint32_t maximum_blocks;
  uint32_t controller_clock;
  uint8_t drives_per_scsi_bus;
  uint8_t drive_present_map[16];  // bit n: physical drive n is present
  uint8_t external_drive_present_map[16];
  uint8_t non_disk_map[16];
  uint8_t reserved2[50];
  uint16_t max_logical_units;
  uint16_t extended_logical_unit_count;
  uint16_t max_physical_devices;
  uint8_t reserved3[42];
  char vendor[8];
  char product[16];
  uint8_t reserved4[20];
  char firmware_timestamp[24];
  uint8_t reserved5[244];
};

// BMIC identify logical drive (512 bytes).
struct ciss_logical_drive_identity {
  uint16_t block_size;
  uint32_t blocks_available;
  uint8_t drive_parameter_table[16];
  uint8_t fault_tolerance;
  uint8_t reserved1;
  uint8_t bios_disable;
  uint8_t reserved2;
  uint32_t volume_id;
  char label[64];
  uint64_t big_blocks_available;
  uint8_t reserved3[410];
};

// BMIC logical drive status; only its first byte is read here.
struct ciss_logical_drive_status {
  uint8_t status;  // 0 OK, 1 failed, 2 not configured, 3.. recovery and expansion states
  uint8_t rest[1023];
};

// The logical drive's configuration: its page 0x83 identifier, stripe size, and which physical
// drives are its data drives and its spares (bit n: physical drive n).
struct ciss_logical_drive_config {
  uint8_t page83_id[16];
  uint32_t stripe_blocks;
  uint8_t reserved1[12];
  uint8_t drive_map[16];
  uint8_t spare_map[16];
  uint8_t reserved2[448];
};

// BMIC identify physical device, as far as it is read here.
struct ciss_physical_drive_identity {
  uint8_t scsi_bus;
  uint8_t scsi_id;
  uint16_t block_size;
  uint32_t total_blocks;
  uint32_t reserved_blocks;
  char model[40];
  char serial[40];
  char firmware[8];
  uint8_t inquiry_bits;
  uint8_t drive_stamp;
  uint8_t last_failure_reason;
  uint8_t flags;
  uint8_t more_flags;
  uint8_t scsi_lun;
  uint8_t yet_more_flags;
  uint8_t even_more_flags;
  uint32_t spi_speed_rules;
  char connector[2];  // port letters, "1I"
  uint8_t box;
  uint8_t bay;
  uint32_t rpm;
  uint8_t device_type;
  uint8_t sata_version;
  uint64_t big_total_blocks;
  uint64_t ris_starting_lba;
  uint32_t ris_size;
  uint8_t wwid[20];
  uint8_t reserved1[1630];
  uint8_t current_temperature;
  uint8_t temperature_threshold;
  uint8_t max_temperature;
  uint8_t reserved2[253];
};

// The physical drive's error counters, in the order the dump names them, and its power-on time.
constexpr size_t ciss_statistics_counters = 16;
struct ciss_physical_drive_statistics {
  uint32_t counters[ciss_statistics_counters];
  uint32_t power_on_minutes;
  uint8_t reserved[444];
};
#pragma pack(pop)
static_assert(sizeof(ciss_controller_identity) == 512, "BMIC identify controller");
static_assert(offsetof(ciss_controller_identity, board_id) == 26, "identify controller board ID");
static_assert(offsetof(ciss_controller_identity, scsi_chip_count) == 44, "identify controller SCSI chips");
static_assert(offsetof(ciss_controller_identity, drive_present_map) == 54, "identify controller drive map");
static_assert(offsetof(ciss_controller_identity, max_logical_units) == 152, "identify controller units");
static_assert(offsetof(ciss_controller_identity, vendor) == 200, "identify controller vendor");
static_assert(offsetof(ciss_controller_identity, firmware_timestamp) == 244, "identify controller time stamp");
static_assert(sizeof(ciss_logical_drive_identity) == 512, "BMIC identify logical drive");
static_assert(offsetof(ciss_logical_drive_identity, fault_tolerance) == 22, "logical drive fault tolerance");
static_assert(offsetof(ciss_logical_drive_identity, label) == 30, "logical drive label");
static_assert(offsetof(ciss_logical_drive_identity, big_blocks_available) == 94, "logical drive big blocks");
static_assert(sizeof(ciss_logical_drive_status) == 1024, "BMIC logical drive status");
static_assert(sizeof(ciss_logical_drive_config) == 512, "logical drive configuration");
static_assert(sizeof(ciss_physical_drive_identity) == 2048, "BMIC identify physical device");
static_assert(offsetof(ciss_physical_drive_identity, connector) == 112, "physical device connector");
static_assert(offsetof(ciss_physical_drive_identity, big_total_blocks) == 122, "physical device big blocks");
static_assert(offsetof(ciss_physical_drive_identity, wwid) == 142, "physical device WWID");
static_assert(offsetof(ciss_physical_drive_identity, current_temperature) == 1792, "physical device temperature");
static_assert(sizeof(ciss_physical_drive_statistics) == 512, "physical drive statistics");

constexpr size_t ciss_header_size = sizeof(srb_io_control) + sizeof(ciss_command);
constexpr size_t ciss_max_drives = 128;  // the bits of a drive map
constexpr uint8_t ciss_logical_not_configured = 2;
