#include "storage/drive_kinds.h"

#include "storage/drive_name_text.h"
#include "storage/identify_words.h"

namespace {

constexpr uint32_t bus_type_sd = 12;
constexpr uint32_t bus_type_nvme = 17;
// IDENTIFY words: nominal media rotation rate (1 = no rotation) and data set management (bit 0 = TRIM).
constexpr size_t rotation_rate_word = 217;
constexpr size_t data_set_management_word = 169;

bool has_ram_disk_instance(const drive_info& drive) {
  return icontains(narrow_ascii(drive.instance_id), "dataram_ramdisk");
}

}  // namespace

bool identify_says_solid_state(const std::array<uint8_t, 512>& block) {
  return identify_word(block, rotation_rate_word) == 1 || (identify_word(block, data_set_management_word) & 1) != 0;
}

const wchar_t* device_kind_label(int kind) {
  switch (kind) {
    case kind_hdd: return L"HDD";
    case kind_ssd: return L"SSD";
    case kind_nvme: return L"NMVe";
    case kind_sd_card: return L"SD card";
    case kind_ram_device: return L"RAM device";
    case kind_raid: return L"RAID";
    case kind_storage_space: return L"Storage space";
    case kind_network_share: return L"Network share";
    default: return L"";
  }
}

const wchar_t* usb_speed_label(uint32_t mask) {
  switch (mask) {
    case 1:
    case 2: return L"USB 1.1";
    case 4: return L"USB 2.0";
    case 8: return L"USB 3.0";
    case 16: return L"USB 3.1";
    default: return L"\u2013";
  }
}

bool is_ssd(const drive_info& drive) {
  if (drive.bus_type == bus_type_nvme) return true;
  if (drive.trim_enabled == 1 && drive.incurs_seek_penalty == 0) return true;
  if (drive.identify_source != 0 && identify_says_solid_state(drive.identify)) return true;
  return drive.vendor_org == "ADATA" && istarts_with(drive.product_org, "SP");
}

bool is_phy_ssd(const phy_drive& phy) { return phy.has_identify && identify_says_solid_state(phy.identify); }

bool is_nvme(const drive_info& drive) {
  if (drive.bus_type == bus_type_nvme || drive.has_nvme_identify) return true;
  if (icontains(narrow_ascii(drive.interface_path), "_nvme")) return true;
  return icontains(drive.vendor_org, "nvme") || icontains(drive.product_org, "nvme");
}

bool is_ram_disk(const drive_info& drive) {
  return has_ram_disk_instance(drive) || iequals(narrow_ascii(drive.description), "RAMDiskVE") ||
         iequals(drive.product_org, "RAMDISK");
}

int drive_kind(const drive_info& drive) {
  if (drive.identify_source == 0 && iequals(drive.product_org, "Logical volume")) return kind_raid;
  if (iequals(drive.product_org, "Storage space")) return kind_storage_space;
  if (is_ram_disk(drive)) return kind_ram_device;
  if (drive.bus_type == bus_type_sd) return kind_sd_card;
  if (drive.description == L"SD Card" || drive.description == L"SDHC Card") return kind_sd_card;
  if (is_nvme(drive)) return kind_nvme;
  return is_ssd(drive) ? kind_ssd : kind_hdd;
}

int stack_entry_kind(const stack_entry& entry) {
  if (entry.raid) return kind_raid;
  if (!entry.drive) return kind_hdd;
  return drive_kind(*entry.drive);
}
