#pragma once

#include <windows.h>
#include <winioctl.h>

#include <cstddef>
#include <cstdint>

// The request layouts of the four ways to send an ATA command to a disk, declared from the
// documented Windows structures. Pointer-sized fields make several of them differ between the
// 32-bit product and the 64-bit build; both are asserted.

constexpr bool pointers_are_64_bit = sizeof(void*) == 8;

constexpr DWORD ioctl_smart_send_drive_command = 0x0007C084;  // SMART_SEND_DRIVE_COMMAND
constexpr DWORD ioctl_smart_rcv_drive_data = 0x0007C088;      // SMART_RCV_DRIVE_DATA
constexpr DWORD ioctl_ata_pass_through = 0x0004D02C;          // IOCTL_ATA_PASS_THROUGH
constexpr DWORD ioctl_scsi_pass_through = 0x0004D004;         // IOCTL_SCSI_PASS_THROUGH
constexpr DWORD ioctl_scsi_pass_through_direct = 0x0004D014;  // IOCTL_SCSI_PASS_THROUGH_DIRECT
constexpr DWORD ioctl_scsi_miniport = 0x0004D008;             // IOCTL_SCSI_MINIPORT
constexpr DWORD ioctl_storage_predict_failure = 0x002D1100;   // IOCTL_STORAGE_PREDICT_FAILURE

#pragma pack(push, 1)
// IDEREGS: the task file as the SMART requests carry it, and as SMART_SEND_DRIVE_COMMAND returns it.
struct ide_registers {
  uint8_t features;  // the error register on return
  uint8_t sector_count;
  uint8_t lba_low;
  uint8_t lba_mid;
  uint8_t lba_high;
  uint8_t device;
  uint8_t command;  // the status register on return
  uint8_t reserved;
};

// SENDCMDINPARAMS
struct smart_command_in {
  uint32_t buffer_size;
  ide_registers registers;
  uint8_t drive_number;
  uint8_t reserved[3];
  uint32_t reserved_words[4];
  uint8_t buffer[1];
};

// DRIVERSTATUS
struct smart_driver_status {
  uint8_t driver_error;
  uint8_t ide_error;
  uint8_t reserved[2];
  uint32_t reserved_words[2];
};

// SENDCMDOUTPARAMS up to its buffer.
struct smart_command_out_header {
  uint32_t buffer_size;
  smart_driver_status status;
};
#pragma pack(pop)
static_assert(sizeof(ide_registers) == 8, "IDEREGS");
static_assert(sizeof(smart_command_in) == 33, "SENDCMDINPARAMS");
static_assert(offsetof(smart_command_in, buffer) == 32, "SENDCMDINPARAMS.bBuffer");
static_assert(sizeof(smart_driver_status) == 12, "DRIVERSTATUS");
static_assert(sizeof(smart_command_out_header) == 16, "SENDCMDOUTPARAMS header");

// ATA_PASS_THROUGH_EX, with the data buffer placed right after it.
struct ata_pass_through_ex {
  uint16_t length;
  uint16_t ata_flags;
  uint8_t path_id;
  uint8_t target_id;
  uint8_t lun;
  uint8_t reserved;
  uint32_t data_transfer_length;
  uint32_t timeout_value;
  uint32_t reserved_long;
  uintptr_t data_buffer_offset;
  uint8_t previous_task_file[8];
  uint8_t current_task_file[8];
};
static_assert(sizeof(ata_pass_through_ex) == (pointers_are_64_bit ? 48 : 40), "ATA_PASS_THROUGH_EX");
static_assert(offsetof(ata_pass_through_ex, data_buffer_offset) == (pointers_are_64_bit ? 24 : 20),
              "ATA_PASS_THROUGH_EX.DataBufferOffset");
static_assert(offsetof(ata_pass_through_ex, current_task_file) == (pointers_are_64_bit ? 40 : 32),
              "ATA_PASS_THROUGH_EX.CurrentTaskFile");

struct ata_pass_through_request {
  ata_pass_through_ex header;
  uint8_t data[512];
};
static_assert(sizeof(ata_pass_through_request) == (pointers_are_64_bit ? 560 : 552), "ATA pass-through request");

constexpr uint16_t ata_flags_drdy_required = 0x01;
constexpr uint16_t ata_flags_data_in = 0x02;
constexpr uint16_t ata_flags_data_out = 0x04;
constexpr uint16_t ata_flags_48bit_command = 0x08;

// SCSI_PASS_THROUGH and SCSI_PASS_THROUGH_DIRECT: the same but for the data field, an offset in
// the first and the caller's pointer in the second.
template <typename data_field>
struct scsi_pass_through_header {
  uint16_t length;
  uint8_t scsi_status;
  uint8_t path_id;
  uint8_t target_id;
  uint8_t lun;
  uint8_t cdb_length;
  uint8_t sense_info_length;
  uint8_t data_in;
  uint32_t data_transfer_length;
  uint32_t timeout_value;
  data_field data_buffer;
  uint32_t sense_info_offset;
  uint8_t cdb[16];
};
using scsi_pass_through = scsi_pass_through_header<uintptr_t>;
using scsi_pass_through_direct = scsi_pass_through_header<void*>;
static_assert(sizeof(scsi_pass_through) == (pointers_are_64_bit ? 56 : 44), "SCSI_PASS_THROUGH");
static_assert(sizeof(scsi_pass_through_direct) == (pointers_are_64_bit ? 56 : 44), "SCSI_PASS_THROUGH_DIRECT");
static_assert(offsetof(scsi_pass_through, data_buffer) == (pointers_are_64_bit ? 24 : 20),
              "SCSI_PASS_THROUGH.DataBufferOffset");
static_assert(offsetof(scsi_pass_through, cdb) == (pointers_are_64_bit ? 36 : 28), "SCSI_PASS_THROUGH.Cdb");

constexpr size_t scsi_sense_size = 64;

struct scsi_pass_through_request {
  scsi_pass_through header;
  uint32_t filler;
  uint8_t sense[scsi_sense_size];
  uint8_t data[512];
};
static_assert(offsetof(scsi_pass_through_request, sense) == (pointers_are_64_bit ? 60 : 48), "SPT sense");
static_assert(offsetof(scsi_pass_through_request, data) == (pointers_are_64_bit ? 124 : 112), "SPT data");
static_assert(sizeof(scsi_pass_through_request) == (pointers_are_64_bit ? 640 : 624), "SPT request");

struct scsi_pass_through_direct_request {
  scsi_pass_through_direct header;
  uint32_t filler;
  uint8_t sense[scsi_sense_size];
};
static_assert(offsetof(scsi_pass_through_direct_request, sense) == (pointers_are_64_bit ? 60 : 48), "SPTD sense");
static_assert(sizeof(scsi_pass_through_direct_request) == (pointers_are_64_bit ? 128 : 112), "SPTD request");

constexpr uint8_t scsi_data_out = 0, scsi_data_in = 1, scsi_data_unspecified = 2;
constexpr uint8_t scsi_status_good = 0, scsi_status_check_condition = 2;

// STORAGE_PREDICT_FAILURE
struct predict_failure_reply {
  uint32_t predict_failure;
  uint8_t vendor_specific[512];
};
static_assert(sizeof(predict_failure_reply) == 516, "STORAGE_PREDICT_FAILURE");
