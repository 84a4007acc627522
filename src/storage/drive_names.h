#pragma once

#include <cstdint>
#include <string>

#include "storage/storage_model.h"
#include "support/logger.h"

// Display names and kinds of drives: what a drive reports, turned into what a person calls it.

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

struct display_names {
  std::string vendor;
  std::string model;
};
display_names normalize_drive_names(const drive_info& drive);
display_names normalize_phy_names(const phy_drive& phy);
// The rule chain shared by both.
void guess_vendor_and_model(std::string& model, std::string& vendor);

// Refreshes the reported product, serial and revision from an ATA or NVMe IDENTIFY block.
void update_names_from_identify(drive_info& drive, indenting_logger* log);

// IDENTIFY text fields: ATA swaps each byte pair; both trim leading blanks, trailing blanks and NULs.
std::string ata_string(const uint8_t* block, size_t offset, size_t length);
std::string nvme_string(const uint8_t* block, size_t offset, size_t length);

// IDENTIFY says no rotation (word 217 is 1) or TRIM (word 169 bit 0).
bool identify_says_solid_state(const std::array<uint8_t, 512>& block);
bool is_ssd(const drive_info& drive);
bool is_phy_ssd(const phy_drive& phy);
bool is_nvme(const drive_info& drive);
bool is_ram_disk(const drive_info& drive);
int drive_kind(const drive_info& drive);
int stack_entry_kind(const stack_entry& entry);
