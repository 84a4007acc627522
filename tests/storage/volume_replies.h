#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fake_machine.h"
#include "storage/storage_model.h"

// Volumes for synthetic machines: one plain struct says what a volume answers, add_volume puts
// the interface, the device names, the volume walk entry and the open device on the machine.

struct extent_setup {
  uint32_t disk = 0;
  uint64_t offset = 0;
  uint64_t length = 0;
};

struct volume_setup {
  // The volume is \\?\Volume<guid>\ ; its interface and kernel names follow from these.
  std::wstring guid = L"{a1b2c3d4-0000-4000-8000-000000000001}";
  std::wstring device_name = L"\\Device\\HarddiskVolume2";
  bool has_interface = true;
  std::wstring interface_path;  // empty: \\?\STORAGE#Volume#<guid>#...#{volume class}
  int passes = -1;              // how many enumerations list volume and interface; -1: all

  std::vector<DWORD> info_errors{0};  // successive GetVolumeInformation results
  volume_information_reply info{L"System", 0x1A2B3C4D, 0x03E700FF, L"NTFS"};
  DWORD free_error = 0;
  free_space_reply free{40000000000ull, 107373125632ull, 40000000000ull};
  std::vector<std::wstring> mount_points{L"C:\\"};

  std::vector<DWORD> accepted_access;  // empty: every access opens it
  DWORD open_error = ERROR_ACCESS_DENIED;

  // Each reply: an error not 0 makes the request fail with it.
  uint64_t length = 107373125632ull;
  DWORD length_error = 0;
  std::vector<extent_setup> extents{{0, 1048576, 107373125632ull}};
  DWORD extents_error = 0;
  bool ntfs = true;  // false: the request fails as on other file systems
  ntfs_volume_data ntfs_data{
      0x1A2B3C4D5E6F7081ll, 209713136, 26214142, 9765625, 2048, 512, 4096, 1024, 0, 262144, 786432, 2, 786432, 838112};
  uint16_t ntfs_major = 0;  // 0: no extended block follows
  uint16_t ntfs_minor = 0;
  std::wstring mountdev_name;  // empty: device_name
  DWORD mountdev_name_error = 0;
  std::vector<uint8_t> unique_id = gpt_unique_id();
  DWORD unique_id_error = 0;
  GUID stable_guid = {0x0a1b2c3d, 0x4e5f, 0x6071, {0x82, 0x93, 0xa4, 0xb5, 0xc6, 0xd7, 0xe8, 0xf9}};
  DWORD stable_guid_error = 0;  // ERROR_NOT_SUPPORTED (50) as RAM disks answer
  std::wstring suggested_link = L"\\DosDevices\\C:";
  bool link_only_if_no_other = false;
  DWORD suggested_link_error = 0;

  // "DMIO:ID:" and a partition GUID, as basic GPT volumes give it.
  static std::vector<uint8_t> gpt_unique_id();
};

// Volume n of a machine: its own GUID, \Device\HarddiskVolume<n>, mounted at letter:\ (0: nowhere),
// one NTFS extent per entry; the length is their sum.
volume_setup numbered_volume(unsigned n, wchar_t letter, const std::vector<extent_setup>& extents);

std::wstring volume_name_of(const volume_setup& setup);     // \\?\Volume{...}\ .
std::wstring interface_path_of(const volume_setup& setup);  // empty without interface
std::wstring device_path_of(const volume_setup& setup);     // what CreateFile is given

// Puts the volume on the machine; the device can be changed afterwards.
fake_device& add_volume(fake_machine& machine, const volume_setup& setup);

// The byte replies on their own.
std::vector<uint8_t> disk_extents_reply(const std::vector<extent_setup>& extents);
std::vector<uint8_t> ntfs_data_reply(const ntfs_volume_data& data, uint16_t major = 0, uint16_t minor = 0);
std::vector<uint8_t> mountdev_name_reply(const std::wstring& name);
std::vector<uint8_t> unique_id_reply(const std::vector<uint8_t>& id);
std::vector<uint8_t> suggested_link_reply(const std::wstring& name, bool only_if_no_other);
