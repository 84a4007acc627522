#include "storage/drive_identify.h"
#include "storage/drive_kinds.h"
#include "storage/drive_names.h"

#include <gtest/gtest.h>

#include "captured_log.h"
#include "golden.h"

#include <cstring>
#include <sstream>

namespace {

// An ATA IDENTIFY text field: blank padded, each byte pair stored swapped.
void put_ata_text(uint8_t* block, size_t offset, size_t length, const char* text) {
  std::string field(text);
  field.resize(length, ' ');
  for (size_t i = 0; i + 1 < length; i += 2) {
    block[offset + i] = uint8_t(field[i + 1]);
    block[offset + i + 1] = uint8_t(field[i]);
  }
}

void put_nvme_text(uint8_t* block, size_t offset, size_t length, const char* text) {
  std::string field(text);
  field.resize(length, ' ');
  std::memcpy(block + offset, field.data(), length);
}

void put_word(std::array<uint8_t, 512>& block, size_t word, uint16_t value) {
  block[word * 2] = uint8_t(value);
  block[word * 2 + 1] = uint8_t(value >> 8);
}
}  // namespace

// Each "[vendor] [model] -> [vendor] [model]" line of the table in tests/data.
TEST(guess_vendor_and_model, every_row_of_the_table) {
  const std::string text = test_data_text("drive_names.txt");
  std::istringstream lines(text);
  std::string line;
  size_t rows = 0;
  for (int n = 1; std::getline(lines, line); ++n) {
    if (line.empty() || line[0] == '#') continue;
    std::string f[4];
    for (size_t i = 0, from = 0; i < 4; ++i) {
      const size_t open = line.find('[', from), close = line.find(']', open);
      ASSERT_NE(close, std::string::npos) << "line " << n;
      f[i] = line.substr(open + 1, close - open - 1);
      from = close + 1;
    }
    guess_vendor_and_model(f[1], f[0]);
    EXPECT_EQ("[" + f[0] + "] [" + f[1] + "]", line.substr(line.find("-> ") + 3)) << "line " << n;
    ++rows;
  }
  EXPECT_GE(rows, 140u);
}

TEST(ata_string, swaps_pairs_and_trims) {
  const uint8_t block[] = {'x', 'x', ' ', ' ', 'T', 'S', '0', '2', '0', '0', ' ', ' ', 0, 0, 'y', 'y'};
  EXPECT_EQ(ata_string(block, 2, 12), "ST2000");
  EXPECT_EQ(ata_string(block, 4, 4), "ST20");
  EXPECT_EQ(ata_string(block, 10, 4), "");
  EXPECT_EQ(ata_string(block, 0, 2), "xx");
  const uint8_t inner[] = {'D', 'W', ' ', 'C', 'D', 'W', ' ', ' '};
  EXPECT_EQ(ata_string(inner, 0, 8), "WDC WD");
}

TEST(nvme_string, keeps_order_and_trims) {
  const uint8_t block[] = {' ', 'S', 'a', 'm', ' ', 0, ' ', 0};
  EXPECT_EQ(nvme_string(block, 0, 8), "Sam");
  EXPECT_EQ(nvme_string(block, 4, 4), "");
  EXPECT_EQ(nvme_string(block, 1, 2), "Sa");
}

TEST(normalize_drive_names, described_edge_cases) {
  drive_info wdc;
  wdc.vendor_org = "WDC WD10";
  wdc.product_org = "EZEX-00BN5A0    ";
  display_names n = normalize_drive_names(wdc);
  EXPECT_EQ(n.vendor, "Western Digital");
  EXPECT_EQ(n.model, "WD10EZEX-00BN5A0");

  drive_info ram;
  ram.instance_id = L"root\\dataram_ramdisk\\0000";
  n = normalize_drive_names(ram);
  EXPECT_EQ(n.vendor, "Dataram");
  EXPECT_EQ(n.model, "RAMDisk");
  EXPECT_EQ(drive_kind(ram), kind_ram_device);
}

TEST(normalize_drive_names, identify_model_wins_over_product) {
  drive_info d;
  d.vendor_org = "ATA     ";
  d.product_org = "ST2000DM001-1CH1";
  d.identify_source = source_ata_pt;
  put_ata_text(d.identify.data(), 54, 40, "ST2000DM001-1CH164");
  display_names n = normalize_drive_names(d);
  EXPECT_EQ(n.vendor, "Seagate");
  EXPECT_EQ(n.model, "ST2000DM001-1CH164");

  d.identify = {};  // a blank model field falls back to the product
  n = normalize_drive_names(d);
  EXPECT_EQ(n.model, "ST2000DM001-1CH1");

  d.identify_source = 0;
  put_ata_text(d.identify.data(), 54, 40, "IGNORED");
  EXPECT_EQ(normalize_drive_names(d).model, "ST2000DM001-1CH1");
}

TEST(normalize_drive_names, description_rules) {
  drive_info d;
  d.vendor_org = "SanDisk";
  d.product_org = "Ultra";
  d.description = L"SanDisk Extreme USB Device";
  display_names n = normalize_drive_names(d);
  EXPECT_EQ(n.vendor, "SanDisk");
  EXPECT_EQ(n.model, "Extreme");

  d.description = L"SANDISK Extreme USB Device";
  EXPECT_EQ(normalize_drive_names(d).model, "Ultra");

  d.vendor_org = "VID:0781";
  d.product_org = "flash drive";
  d.description = L"Samsung Flash Drive USB Device";
  n = normalize_drive_names(d);
  EXPECT_EQ(n.vendor, "Samsung");
  EXPECT_EQ(n.model, "Flash Drive");

  d.description = L"hynix Flash Drive";
  EXPECT_EQ(normalize_drive_names(d).vendor, "hynix");

  d.description = L"Kingston DataTraveler";
  EXPECT_EQ(normalize_drive_names(d).vendor, "");

  d.product_org = "BGND3R";  // the VID: rule of the chain is not reached from a drive
  EXPECT_EQ(normalize_drive_names(d).vendor, "");

  drive_info named;
  named.vendor_org = "Dataram";
  named.instance_id = L"root\\dataram_ramdisk\\0000";
  EXPECT_EQ(normalize_drive_names(named).vendor, "Dataram");
  EXPECT_EQ(normalize_drive_names(named).model, "");
}

TEST(normalize_phy_names, identify_or_reported_model) {
  phy_drive phy;
  phy.model = "ignored";
  phy.has_identify = true;
  put_ata_text(phy.identify.data(), 54, 40, "INTEL SSDSC2BB480G4");
  display_names n = normalize_phy_names(phy);
  EXPECT_EQ(n.vendor, "Intel");
  EXPECT_EQ(n.model, "SSDSC2BB480G4");

  phy.has_identify = false;
  phy.model = "  WDC WD2003FZEX-00Z4SA0 ";
  n = normalize_phy_names(phy);
  EXPECT_EQ(n.vendor, "Western Digital");
  EXPECT_EQ(n.model, "WD2003FZEX-00Z4SA0");
}

TEST(update_names_from_identify, ata_block_logs_each_change) {
  drive_info d;
  d.identify_source = source_ata;
  put_ata_text(d.identify.data(), 54, 40, "WDC WD10EZEX-08WN4A0");
  put_ata_text(d.identify.data(), 20, 20, "WD-WCC6Y1234567");
  put_ata_text(d.identify.data(), 46, 8, "01.01A01");
  d.product_org = "WDC WD10EZEX-08W";
  d.serial = "WD-WCC6Y1234567";
  d.revision_org = "01.0";
  d.has_nvme_identify = true;  // the ATA block is preferred
  d.nvme_identify.assign(4096, 'n');
  captured_log c;
  c.log->indent(4);
  update_names_from_identify(d, c.log);
  c.log->unindent(4);
  EXPECT_EQ(c.target->lines(), (std::vector<std::string>{
                                   "2     Updating drive info from its ATA/IDENTIFY block...\n",
                                   "2       Product                    [WDC WD10EZEX-08W] -> [WDC WD10EZEX-08WN4A0]\n",
                                   "2       Revision                   [01.0] -> [01.01A01]\n",
                               }));
  EXPECT_EQ(d.product_org, "WDC WD10EZEX-08WN4A0");
  EXPECT_EQ(d.serial, "WD-WCC6Y1234567");
  EXPECT_EQ(d.revision_org, "01.01A01");
}

TEST(update_names_from_identify, nvme_block_and_blank_fields) {
  drive_info d;
  d.has_nvme_identify = true;
  d.nvme_identify.assign(4096, 0);
  put_nvme_text(d.nvme_identify.data(), 4, 20, "S4EWNX0R123456A");
  put_nvme_text(d.nvme_identify.data(), 24, 40, "Samsung SSD 970 EVO Plus 1TB");
  // firmware left blank: the old revision stays
  d.product_org = "Samsung SSD 970 EVO Plus 1TB";
  d.serial = "0025_3851_91B1_2F4B.";
  d.revision_org = "2B2QEXM7";
  captured_log c;
  update_names_from_identify(d, c.log);
  EXPECT_EQ(c.target->lines(), (std::vector<std::string>{
                                   "2 Updating drive info from its NVMe/IDENTIFY block...\n",
                                   "2   Serial                     [0025_3851_91B1_2F4B.] -> [S4EWNX0R123456A]\n",
                               }));
  EXPECT_EQ(d.serial, "S4EWNX0R123456A");
  EXPECT_EQ(d.revision_org, "2B2QEXM7");
}

TEST(update_names_from_identify, nothing_without_a_block) {
  drive_info d;
  d.product_org = "Virtual Disk";
  put_ata_text(d.identify.data(), 54, 40, "NOT USED");
  captured_log c;
  update_names_from_identify(d, c.log);
  EXPECT_TRUE(c.target->lines().empty());
  EXPECT_EQ(d.product_org, "Virtual Disk");

  d.identify_source = source_ctrl;
  update_names_from_identify(d, nullptr);
  EXPECT_EQ(d.product_org, "NOT USED");
}

TEST(device_kind_label, every_kind) {
  const struct {
    int kind;
    const wchar_t* label;
  } rows[] = {
      {0, L""},     {1, L"HDD"},           {2, L"SSD"},           {3, L"NMVe"}, {4, L"SD card"}, {5, L"RAM device"},
      {6, L"RAID"}, {7, L"Storage space"}, {8, L"Network share"}, {9, L""},     {-1, L""},
  };
  for (const auto& r : rows) EXPECT_STREQ(device_kind_label(r.kind), r.label) << r.kind;
}

TEST(usb_speed_label, reduced_masks) {
  const struct {
    uint32_t mask;
    const wchar_t* label;
  } rows[] = {
      {1, L"USB 1.1"}, {2, L"USB 1.1"}, {4, L"USB 2.0"}, {8, L"USB 3.0"}, {16, L"USB 3.1"},
      {0, L"\u2013"},  {3, L"\u2013"},  {12, L"\u2013"}, {32, L"\u2013"}, {0xFFFFFFFF, L"\u2013"},
  };
  for (const auto& r : rows) EXPECT_STREQ(usb_speed_label(r.mask), r.label) << r.mask;
  EXPECT_EQ(std::wstring(usb_speed_label(0)).size(), 1u);
}

namespace {

struct kind_row {
  const char* what;
  void (*setup)(drive_info&);
  int kind;
};

void set_word(drive_info& d, size_t word, uint16_t value) {
  d.identify_source = source_ata;
  put_word(d.identify, word, value);
}

const kind_row kind_rows[] = {
    {"plain disk", [](drive_info&) {}, kind_hdd},
    {"logical volume", [](drive_info& d) { d.product_org = "LOGICAL VOLUME"; }, kind_raid},
    {"logical volume with IDENTIFY",
     [](drive_info& d) {
       d.product_org = "Logical volume";
       d.identify_source = source_ctrl;
     },
     kind_hdd},
    {"storage space", [](drive_info& d) { d.product_org = "Storage Space"; }, kind_storage_space},
    {"storage space with IDENTIFY",
     [](drive_info& d) {
       d.product_org = "Storage space";
       d.identify_source = source_ata;
     },
     kind_storage_space},
    {"RAMDiskVE", [](drive_info& d) { d.description = L"ramdiskve"; }, kind_ram_device},
    {"RAMDISK product", [](drive_info& d) { d.product_org = "RamDisk"; }, kind_ram_device},
    {"ram disk before SD",
     [](drive_info& d) {
       d.instance_id = L"root\\dataram_ramdisk\\0000";
       d.bus_type = 12;
     },
     kind_ram_device},
    {"SD bus", [](drive_info& d) { d.bus_type = 12; }, kind_sd_card},
    {"SD bus before NVMe",
     [](drive_info& d) {
       d.bus_type = 12;
       d.has_nvme_identify = true;
     },
     kind_sd_card},
    {"SD Card", [](drive_info& d) { d.description = L"SD Card"; }, kind_sd_card},
    {"SDHC Card", [](drive_info& d) { d.description = L"SDHC Card"; }, kind_sd_card},
    {"sd card is exact", [](drive_info& d) { d.description = L"sd card"; }, kind_hdd},
    {"NVMe bus", [](drive_info& d) { d.bus_type = 17; }, kind_nvme},
    {"NVMe identify", [](drive_info& d) { d.has_nvme_identify = true; }, kind_nvme},
    {"NVMe behind USB",
     [](drive_info& d) {
       d.bus_type = 7;
       d.interface_path = L"\\\\?\\USBSTOR#Disk&Ven_Realtek&Prod_RTL9210B_NVME#0123&0#{53f56307}";
     },
     kind_nvme},
    {"nvme vendor", [](drive_info& d) { d.vendor_org = "NVMe"; }, kind_nvme},
    {"nvme product", [](drive_info& d) { d.product_org = "Force MP510 NVMe"; }, kind_nvme},
    {"trim without seek penalty",
     [](drive_info& d) {
       d.trim_enabled = 1;
       d.incurs_seek_penalty = 0;
     },
     kind_ssd},
    {"trim, seek penalty unknown", [](drive_info& d) { d.trim_enabled = 1; }, kind_hdd},
    {"no rotation", [](drive_info& d) { set_word(d, 217, 1); }, kind_ssd},
    {"7200 rpm", [](drive_info& d) { set_word(d, 217, 7200); }, kind_hdd},
    {"TRIM supported", [](drive_info& d) { set_word(d, 169, 0x0001); }, kind_ssd},
    {"other data set bits", [](drive_info& d) { set_word(d, 169, 0x0002); }, kind_hdd},
    {"words without a block",
     [](drive_info& d) {
       put_word(d.identify, 217, 1);
       put_word(d.identify, 169, 1);
     },
     kind_hdd},
    {"ADATA SP",
     [](drive_info& d) {
       d.vendor_org = "ADATA";
       d.product_org = "sp900";
     },
     kind_ssd},
    {"adata is exact",
     [](drive_info& d) {
       d.vendor_org = "adata";
       d.product_org = "SP900";
     },
     kind_hdd},
};

}  // namespace

TEST(drive_kind, each_branch) {
  for (const kind_row& r : kind_rows) {
    drive_info d;
    r.setup(d);
    EXPECT_EQ(drive_kind(d), r.kind) << r.what;
  }
}

TEST(drive_kind, predicates) {
  drive_info d;
  d.bus_type = 17;
  EXPECT_TRUE(is_ssd(d));
  EXPECT_TRUE(is_nvme(d));
  EXPECT_FALSE(is_ram_disk(d));
  d = drive_info();
  d.interface_path = L"\\\\?\\pci#nvme#0123";  // only "_nvme" counts in the path
  EXPECT_FALSE(is_nvme(d));
  d.interface_path = L"\\\\?\\SCSI#Disk&Ven_NVMe&Prod_X";
  EXPECT_TRUE(is_nvme(d));
  EXPECT_FALSE(is_ssd(d));
}

TEST(is_phy_ssd, identify_words) {
  phy_drive phy;
  put_word(phy.identify, 217, 1);
  EXPECT_FALSE(is_phy_ssd(phy));
  phy.has_identify = true;
  EXPECT_TRUE(is_phy_ssd(phy));
  put_word(phy.identify, 217, 5400);
  EXPECT_FALSE(is_phy_ssd(phy));
  put_word(phy.identify, 169, 1);
  EXPECT_TRUE(is_phy_ssd(phy));
}

TEST(stack_entry_kind, arrays_controller_drives_and_drives) {
  drive_info nvme;
  nvme.bus_type = 17;
  raid_volume volume;
  stack_entry entry;
  EXPECT_EQ(stack_entry_kind(entry), kind_hdd);
  entry.drive = &nvme;
  EXPECT_EQ(stack_entry_kind(entry), kind_nvme);
  entry.raid = &volume;
  EXPECT_EQ(stack_entry_kind(entry), kind_raid);
}
