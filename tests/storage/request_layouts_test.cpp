// Our declarations of the health requests against the system headers' own, in both builds.
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>
#include <ntddscsi.h>

#include <cstddef>

#include "storage/ata_requests.h"
#include "storage/nvme_requests.h"

static_assert(sizeof(ide_registers) == sizeof(IDEREGS), "IDEREGS");
static_assert(sizeof(smart_command_in) == sizeof(SENDCMDINPARAMS), "SENDCMDINPARAMS");
static_assert(sizeof(smart_driver_status) == sizeof(DRIVERSTATUS), "DRIVERSTATUS");
static_assert(sizeof(smart_command_out_header) == offsetof(SENDCMDOUTPARAMS, bBuffer), "SENDCMDOUTPARAMS");
static_assert(sizeof(ata_pass_through_ex) == sizeof(ATA_PASS_THROUGH_EX), "ATA_PASS_THROUGH_EX");
static_assert(offsetof(ata_pass_through_ex, data_buffer_offset) == offsetof(ATA_PASS_THROUGH_EX, DataBufferOffset),
              "ATA_PASS_THROUGH_EX.DataBufferOffset");
static_assert(offsetof(ata_pass_through_ex, current_task_file) == offsetof(ATA_PASS_THROUGH_EX, CurrentTaskFile),
              "ATA_PASS_THROUGH_EX.CurrentTaskFile");
static_assert(sizeof(scsi_pass_through) == sizeof(SCSI_PASS_THROUGH), "SCSI_PASS_THROUGH");
static_assert(offsetof(scsi_pass_through, data_buffer) == offsetof(SCSI_PASS_THROUGH, DataBufferOffset),
              "SCSI_PASS_THROUGH.DataBufferOffset");
static_assert(offsetof(scsi_pass_through, sense_info_offset) == offsetof(SCSI_PASS_THROUGH, SenseInfoOffset),
              "SCSI_PASS_THROUGH.SenseInfoOffset");
static_assert(offsetof(scsi_pass_through, cdb) == offsetof(SCSI_PASS_THROUGH, Cdb), "SCSI_PASS_THROUGH.Cdb");
static_assert(sizeof(scsi_pass_through_direct) == sizeof(SCSI_PASS_THROUGH_DIRECT), "SCSI_PASS_THROUGH_DIRECT");
static_assert(offsetof(scsi_pass_through_direct, data_buffer) == offsetof(SCSI_PASS_THROUGH_DIRECT, DataBuffer),
              "SCSI_PASS_THROUGH_DIRECT.DataBuffer");
static_assert(sizeof(srb_io_control) == sizeof(SRB_IO_CONTROL), "SRB_IO_CONTROL");
static_assert(sizeof(predict_failure_reply) == sizeof(STORAGE_PREDICT_FAILURE), "STORAGE_PREDICT_FAILURE");
static_assert(sizeof(protocol_specific_data) == sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA), "protocol data");
static_assert(sizeof(protocol_descriptor) == sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR), "protocol descriptor");

static_assert(ioctl_smart_send_drive_command == SMART_SEND_DRIVE_COMMAND, "SMART_SEND_DRIVE_COMMAND");
static_assert(ioctl_smart_rcv_drive_data == SMART_RCV_DRIVE_DATA, "SMART_RCV_DRIVE_DATA");
static_assert(ioctl_ata_pass_through == IOCTL_ATA_PASS_THROUGH, "IOCTL_ATA_PASS_THROUGH");
static_assert(ioctl_scsi_pass_through == IOCTL_SCSI_PASS_THROUGH, "IOCTL_SCSI_PASS_THROUGH");
static_assert(ioctl_scsi_pass_through_direct == IOCTL_SCSI_PASS_THROUGH_DIRECT, "IOCTL_SCSI_PASS_THROUGH_DIRECT");
static_assert(ioctl_scsi_miniport == IOCTL_SCSI_MINIPORT, "IOCTL_SCSI_MINIPORT");
static_assert(ioctl_storage_predict_failure == IOCTL_STORAGE_PREDICT_FAILURE, "IOCTL_STORAGE_PREDICT_FAILURE");
static_assert(property_adapter_protocol_specific == StorageAdapterProtocolSpecificProperty, "protocol property");
static_assert(property_device_protocol_specific == StorageDeviceProtocolSpecificProperty, "protocol property");
static_assert(protocol_type_nvme == ProtocolTypeNvme, "ProtocolTypeNvme");
static_assert(nvme_data_type_identify == NVMeDataTypeIdentify && nvme_data_type_log_page == NVMeDataTypeLogPage,
              "STORAGE_PROTOCOL_NVME_DATA_TYPE");
