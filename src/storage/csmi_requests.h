#pragma once

#include <cstddef>
#include <cstdint>

#include "storage/nvme_requests.h"

// CSMI (Common Storage Management Interface) requests as SAS/SATA HBA and RAID drivers take them:
// IOCTL_SCSI_MINIPORT with an SRB_IO_CONTROL header naming the request group in its signature and
// the request in its control code, the request's structure right after it. Layouts as the
// published CSMI SAS interface declares them (8-byte packing, which is natural alignment for all
// of them, so no pointer-sized field makes them differ between the 32-bit and 64-bit builds).

constexpr char csmi_all_signature[] = "CSMIALL";
constexpr char csmi_raid_signature[] = "CSMIARY";
constexpr char csmi_sas_signature[] = "CSMISAS";

enum csmi_control_code : uint32_t {
  csmi_get_driver_info = 1,
  csmi_get_controller_config = 2,
  csmi_get_raid_info = 10,
  csmi_get_raid_config = 11,
  csmi_get_phy_info = 20,
  csmi_stp_pass_through = 25,
  csmi_get_sata_signature = 26,
};

// SRB_IO_CONTROL.ReturnCode
constexpr uint32_t csmi_status_success = 0;

// CSMI_SAS_DRIVER_INFO
struct csmi_driver_info {
  char name[81];
  char description[81];
  uint16_t major, minor, build, release;
  uint16_t csmi_major, csmi_minor;
};
static_assert(sizeof(csmi_driver_info) == 174, "CSMI_SAS_DRIVER_INFO");

// CSMI_SAS_CNTLR_CONFIG
struct csmi_controller_config {
  uint32_t base_io_address;
  uint32_t base_memory_low, base_memory_high;
  uint32_t board_id;
  uint16_t slot_number;
  uint8_t controller_class;
  uint8_t io_bus_type;
  uint8_t bus_address[32];  // PCI: bus, device, function
  char serial[81];
  uint16_t firmware[4];  // major, minor, build, release
  uint16_t bios[4];
  uint32_t controller_flags;
  uint16_t redundant_firmware[4];
  uint16_t redundant_bios[4];
  uint8_t reserved[7];
};
static_assert(sizeof(csmi_controller_config) == 180, "CSMI_SAS_CNTLR_CONFIG");
static_assert(offsetof(csmi_controller_config, firmware) == 134, "CSMI_SAS_CNTLR_CONFIG.usMajorRevision");
static_assert(offsetof(csmi_controller_config, controller_flags) == 152, "CSMI_SAS_CNTLR_CONFIG.uControllerFlags");

// CSMI_SAS_IDENTIFY: one end of a phy's link.
struct csmi_identify {
  uint8_t device_type;  // 0 nothing attached, 0x10 end device, 0x20/0x30 expanders
  uint8_t restricted;
  uint8_t initiator_protocols;
  uint8_t target_protocols;  // 1 SATA, 2 SMP, 4 STP, 8 SSP
  uint8_t restricted2[8];
  uint8_t sas_address[8];
  uint8_t phy_identifier;
  uint8_t signal_class;
  uint8_t reserved[6];
};
static_assert(sizeof(csmi_identify) == 28, "CSMI_SAS_IDENTIFY");

constexpr uint8_t csmi_protocol_sata = 0x01, csmi_protocol_stp = 0x04;

// CSMI_SAS_PHY_ENTITY
struct csmi_phy_entity {
  csmi_identify local;
  uint8_t port_identifier;
  uint8_t negotiated_link_rate;
  uint8_t minimum_link_rate;
  uint8_t maximum_link_rate;
  uint8_t phy_change_count;
  uint8_t auto_discover;
  uint8_t phy_features;
  uint8_t reserved;
  csmi_identify attached;
};
static_assert(sizeof(csmi_phy_entity) == 64, "CSMI_SAS_PHY_ENTITY");

constexpr size_t csmi_max_phys = 32;

// CSMI_SAS_PHY_INFO
struct csmi_phy_info {
  uint8_t number_of_phys;
  uint8_t reserved[3];
  csmi_phy_entity phy[csmi_max_phys];
};
static_assert(sizeof(csmi_phy_info) == 2052, "CSMI_SAS_PHY_INFO");

// CSMI_SAS_RAID_INFO
struct csmi_raid_info {
  uint32_t number_of_sets;
  uint32_t max_drives_per_set;
  uint32_t max_sets;
  uint8_t max_raid_types;
  uint8_t reserved_bytes[7];
  uint32_t min_set_blocks[2];
  uint32_t max_set_blocks[2];
  uint32_t max_physical_drives;
  uint32_t max_extents;
  uint32_t max_modules;
  uint32_t max_transformation_memory;
  uint32_t change_count;
  uint8_t reserved[44];
};
static_assert(sizeof(csmi_raid_info) == 100, "CSMI_SAS_RAID_INFO");

// CSMI_SAS_RAID_CONFIG up to its drive list.
struct csmi_raid_config {
  uint32_t set_index;
  uint32_t capacity;     // MB
  uint32_t stripe_size;  // KB
  uint8_t raid_type;
  uint8_t status;
  uint8_t information;
  uint8_t drive_count;
  uint8_t data_type;  // 0: the drive list follows
  uint8_t reserved[11];
  uint32_t failure_code;
  uint32_t change_count;
};
static_assert(sizeof(csmi_raid_config) == 36, "CSMI_SAS_RAID_CONFIG header");

// CSMI_SAS_RAID_DRIVES
struct csmi_raid_drive {
  char model[40];
  char firmware[8];
  char serial[40];
  uint8_t sas_address[8];
  uint8_t sas_lun[8];
  uint8_t status;
  uint8_t usage;         // 0 not used, 1 member, 2 spare, 3 active spare
  uint8_t reserved[30];  // block size, drive type, index and user blocks in later revisions
};
static_assert(sizeof(csmi_raid_drive) == 136, "CSMI_SAS_RAID_DRIVES");

constexpr uint8_t csmi_drive_member = 1, csmi_drive_spare = 2, csmi_drive_active_spare = 3;
constexpr size_t csmi_max_drives_per_set = 128;
constexpr size_t csmi_max_sets = 64;

// CSMI_SAS_STP_PASSTHRU
struct csmi_stp_parameters {
  uint8_t phy_identifier;
  uint8_t port_identifier;
  uint8_t connection_rate;
  uint8_t reserved;
  uint8_t destination_sas_address[8];
  uint8_t reserved2[4];
  uint8_t command_fis[20];
  uint32_t flags;
  uint32_t data_length;
};
static_assert(sizeof(csmi_stp_parameters) == 44, "CSMI_SAS_STP_PASSTHRU");

// CSMI_SAS_STP_PASSTHRU_STATUS
struct csmi_stp_status {
  uint8_t connection_status;  // 0: open accepted
  uint8_t reserved[3];
  uint8_t status_fis[20];
  uint32_t scr[16];
  uint32_t data_bytes;
};
static_assert(sizeof(csmi_stp_status) == 92, "CSMI_SAS_STP_PASSTHRU_STATUS");

constexpr uint32_t csmi_stp_read = 0x01, csmi_stp_unspecified = 0x04, csmi_stp_pio = 0x10;
constexpr uint8_t csmi_use_port_identifier = 0xFF;  // bPhyIdentifier: let the port choose
constexpr uint8_t csmi_ignore_port = 0xFF;          // bPortIdentifier: reach the address anywhere

// CSMI_SAS_SATA_SIGNATURE
struct csmi_sata_signature {
  uint8_t phy_identifier;
  uint8_t reserved[3];
  uint8_t signature_fis[20];
};
static_assert(sizeof(csmi_sata_signature) == 24, "CSMI_SAS_SATA_SIGNATURE");

// The buffer of one request: the header, then the request's structure.
constexpr size_t csmi_header_size = sizeof(srb_io_control);
