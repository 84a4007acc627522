#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "storage/storage_model.h"
#include "support/logger.h"

// Names from what a drive reports: the IDENTIFY block's texts and the display names made of them.

struct display_names {
  std::string vendor;
  std::string model;
};
display_names normalize_drive_names(const drive_info& drive);
display_names normalize_phy_names(const phy_drive& phy);

// Refreshes the reported product, serial and revision from an ATA or NVMe IDENTIFY block.
void update_names_from_identify(drive_info& drive, indenting_logger* log);

// IDENTIFY text fields: ATA swaps each byte pair; both trim leading blanks, trailing blanks and NULs.
std::string ata_string(const uint8_t* block, size_t offset, size_t length);
std::string nvme_string(const uint8_t* block, size_t offset, size_t length);
