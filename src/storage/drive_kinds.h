#pragma once

#include <array>
#include <cstdint>

#include "storage/storage_model.h"

// Kinds of drives: what a drive reports, turned into what kind of device a person calls it.

enum device_kind : int {
  kind_none = 0,
  kind_hdd = 1,
  kind_ssd = 2,
  kind_nvme = 3,
  kind_sd_card = 4,
  kind_ram_device = 5,
  kind_raid = 6,
  kind_storage_space = 7,
  kind_network_share = 8,
};
const wchar_t* device_kind_label(int kind);

// 1 low, 2 full, 4 high speed, 8 SuperSpeed, 16 SuperSpeed+; anything else an en dash.
const wchar_t* usb_speed_label(uint32_t mask);

// IDENTIFY says no rotation (word 217 is 1) or TRIM (word 169 bit 0).
bool identify_says_solid_state(const std::array<uint8_t, 512>& block);
bool is_ssd(const drive_info& drive);
bool is_phy_ssd(const phy_drive& phy);
bool is_nvme(const drive_info& drive);
bool is_ram_disk(const drive_info& drive);
int drive_kind(const drive_info& drive);
int stack_entry_kind(const stack_entry& entry);
