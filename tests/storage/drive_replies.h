#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fake_machine.h"

// A disk as the test machine shows it: its interface, device nodes and the replies of its
// \\.\PhysicalDriveN device. Defaults describe a SATA hard disk on an AHCI controller.

struct fake_partition {
  uint32_t number = 1;
  uint64_t offset = 0;
  uint64_t length = 0;
  uint8_t mbr_type = 0x07;  // 0: an empty MBR slot
  bool boot = false;
  uint32_t hidden_sectors = 0;
  GUID gpt_type{};
  GUID gpt_id{};
  uint64_t gpt_attributes = 0;
  std::wstring gpt_name;
};

struct fake_device_id {
  uint32_t code_set = 1;
  uint32_t type = 3;
  uint32_t association = 0;
  std::vector<uint8_t> bytes;
};

// A device node above the disk's parent, nearest first.
struct fake_upper_node {
  std::wstring id;
  std::wstring device_class;
  std::wstring description;
};

enum layout_kind { no_layout = -1, mbr_layout = 0, gpt_layout = 1, raw_layout = 2 };

struct fake_disk {
  uint32_t number = 0;
  std::wstring interface_path;  // empty: made from the number
  std::wstring instance_id = L"SCSI\\Disk&Ven_&Prod_ST1000DM003-1ER1\\4&2A0C7E1&0&000000";
  std::wstring friendly_name = L"ST1000DM003-1ER162";
  std::wstring device_desc = L"Disk drive";
  DWORD removal_policy = 1;                                 // 0: no such property
  std::wstring msdos_device = L"\\Device\\Harddisk0\\DR0";  // empty: QueryDosDevice fails

  std::wstring parent_id = L"PCI\\VEN_8086&DEV_A102&SUBSYS_86941043&REV_31\\3&11583659&0&B8";
  std::wstring parent_class = L"SCSIAdapter";
  std::wstring parent_friendly_name;
  std::wstring parent_desc = L"Standard SATA AHCI Controller";
  std::wstring parent_manufacturer = L"Standard SATA AHCI Controller";
  std::wstring parent_driver = L"{4d36e97b-e325-11ce-bfc1-08002be10318}\\0000";
  std::wstring parent_location = L"PCI bus 0, device 23, function 0";
  std::vector<fake_upper_node> above_parent;

  std::vector<DWORD> accepted_access;  // empty: every access

  bool descriptor = true;
  std::string vendor, product = "ST1000DM003-1ER162", revision = "CC45", serial = "            Z4Y8B2QK";
  std::vector<uint8_t> raw_properties;
  uint32_t bus_type = 11;
  bool removable = false;

  bool device_ids = true;
  std::vector<fake_device_id> ids;

  bool adapter = true;
  uint32_t adapter_bus_type = 11;
  uint32_t maximum_transfer = 0x20000;
  uint32_t alignment_mask = 1;

  int trim = 0;          // -1: no reply
  int seek_penalty = 1;  // -1: no reply

  bool geometry = true;
  uint64_t capacity = 1000204886016ull;
  std::vector<uint8_t> geometry_data;  // what follows DiskSize

  bool smart_version = true;
  uint32_t smart_capabilities = 7;

  int layout = gpt_layout;
  uint32_t mbr_signature = 0x1234ABCD;
  size_t mbr_slots = 4;  // MBR entries listed, empty slots included
  GUID disk_id{};
  std::vector<fake_partition> partitions;

  bool scsi_address = true;
  uint8_t port = 0, path = 0, target = 0, lun = 0;

  bool diagnostics = true;  // inquiry data, hot-plug information, miniport
};

std::wstring disk_interface_path(const fake_disk& disk);
DWORD disk_devinst(const fake_disk& disk);
DWORD parent_devinst(const fake_disk& disk);

// The replies, for tests that change one of them.
std::vector<uint8_t> device_descriptor_reply(const fake_disk& disk);
std::vector<uint8_t> device_id_reply(const fake_disk& disk);
std::vector<uint8_t> adapter_reply(const fake_disk& disk);
std::vector<uint8_t> geometry_reply(const fake_disk& disk);
std::vector<uint8_t> layout_reply(const fake_disk& disk);
// IOCTL_SCSI_GET_INQUIRY_DATA: one bus with one unit.
std::vector<uint8_t> inquiry_reply();

void add_disk(fake_machine& machine, const fake_disk& disk);
// The \\.\PhysicalDriveN device of an added disk.
fake_device& disk_device(fake_machine& machine, const fake_disk& disk);

// Test GUIDs: the basic data partition type and a made-up identifier.
extern const GUID basic_data_type;
GUID test_guid(uint32_t first);
