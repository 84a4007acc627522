#include "storage/drive_names.h"

#include <gtest/gtest.h>

#include "captured_log.h"

#include <cstring>

#include "storage/drive_name_tables.h"

namespace {

struct name_row {
  const char* vendor_in;
  const char* model_in;
  const char* vendor_out;
  const char* model_out;
};

void expect_rows(const name_row* rows, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const name_row& r = rows[i];
    std::string vendor = r.vendor_in, model = r.model_in;
    guess_vendor_and_model(model, vendor);
    EXPECT_EQ(vendor, r.vendor_out) << "row " << i << ": [" << r.vendor_in << "] [" << r.model_in << "]";
    EXPECT_EQ(model, r.model_out) << "row " << i << ": [" << r.vendor_in << "] [" << r.model_in << "]";
  }
}

template <size_t n>
void expect_rows(const name_row (&rows)[n]) {
  expect_rows(rows, n);
}

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

TEST(drive_name_tables, first_and_last_rows) {
  EXPECT_STREQ(model_pattern_table.rows[0].vendor, "Seagate");
  EXPECT_STREQ(model_pattern_table.rows[50].prefix, "VIVA");
  EXPECT_STREQ(model_prefix_table.rows[31].prefixes[0], "SPCC ");
  EXPECT_STREQ(model_prefix_table.rows[2].prefixes[2], "LITEON ");
  EXPECT_STREQ(generic_vendor_table.rows[19].vendor_equals, "USB 2.0");
  EXPECT_STREQ(vendor_name_table.rows[14].name, "ASMedia");
  EXPECT_STREQ(enclosure_table.rows[5].display, "Transcend");
  EXPECT_STREQ(flash_name_table.rows[4].name, "USB Flash Drive");
  EXPECT_STREQ(model_family_table.rows[12].name, "Rocket");
}

TEST(guess_vendor_and_model, described_edge_cases) {
  const name_row rows[] = {
      {"ATA", "ST2000DM001-1CH164", "Seagate", "ST2000DM001-1CH164"},
      {"Samsung", "ST1000LM024", "Samsung / Seagate", "ST1000LM024"},
      {"StoreJet", "TS1TSJ25M3", "Transcend / Transcend", "TS1TSJ25M3"},
      {"", "MD1000BDS", "MDT (Magnetic Data Technologies)", "MD1000BDS"},
      {"", "MD4000GB-RO", "MaxDigital", "MD4000GB-RO"},
  };
  expect_rows(rows);
}

TEST(guess_vendor_and_model, bridge_and_virtual_names) {
  const name_row rows[] = {
      {"TS-RDF5", "SD Transcend", "Transcend", "TS-RDF5"},
      {"JetFlash", "Transcend 16GB", "Transcend", "JetFlash 16GB"},
      {"JETFLASH", "TRANSCEND", "Transcend", "JetFlash"},
      {"", "VBOX HARDDISK", "Oracle", "VirtualBox HardDisk"},
      {"", "vbox harddisk", "Oracle", "VirtualBox HardDisk"},
      {"USB", "DISK 2.0", "", "USB DISK 2.0"},
      {"USB3.0", "FLASH DRIVE", "", "USB3.0 FLASH DRIVE"},
      {"USB Mass", "Storage Device", "", "USB Mass Storage Device"},
      // The bus names are exact: other spellings go through the rest of the chain.
      {"usb", "DISK 2.0", "usb", "DISK 2.0"},
      {"USB Mass", "STORAGE DEVICE", "USB Mass", "Storage Device"},
      {"", "Toshiba-TR150", "Toshiba", "OCZ-TR150"},
      {"VID:1234", "BGND3R", "Samsung", "BGND3R"},
      {"VID:1234", "DF4064", "SanDisk", "DF4064"},
      {"VID:1234", "HCG4a2", "SK hynix", "HCG4a2"},
      {"VID:1234", "hcg4a2", "VID:1234", "hcg4a2"},
  };
  expect_rows(rows);
}

TEST(guess_vendor_and_model, model_split_over_vendor_and_product) {
  const name_row rows[] = {
      {"WDC WD10", "EZEX-00BN5A0", "Western Digital", "WD10EZEX-00BN5A0"},
      {"Micron 1", "100_MTFDDAK256TBN", "Micron", "100_MTFDDAK256TBN"},
      {"IC25N020", "ATCS04-0", "Hitachi", "IC25N020ATCS04-0"},
      {"IC25N040", "ATMR04-0", "Hitachi", "IC25N040ATMR04-0"},
      {"SSD2SC24", "SSD2SC240G1LC726", "PNY", "SSD2SC240G1LC726"},
      {"Maxtor 6", "4A300J0", "Maxtor", "64A300J0"},
      {"Maxtor 6", "Y080L0", "Maxtor 6", "Y080L0"},
      {"TOR STM3", "250310AS", "Maxtor", "250310AS"},
      {"", "ST500LT012-1DG142   LENOVO", "Seagate", "ST500LT012-1DG142"},
      {"", "ST500LT012 LENOVO", "Seagate", "ST500LT012 LENOVO"},
      {"C300-CTF", "DDAC256MAG", "Crucial", "C300-CTFDDAC256MAG"},
      {"C300-CTF", "C300-CTFDDAC256MAG", "C300-CTF", "C300-CTFDDAC256MAG"},
      {"ADATA SP", "900", "ADATA", "SP900"},
      {"ADATA SP", "SP600", "ADATA", "SP600"},
      {"ST310003", "33AS", "Seagate", "ST31000333AS"},
      {"ST3500", "ST3500418AS", "Seagate", "ST3500418AS"},
      {"INTEL SS", "DSC2BW240A4", "Intel", "SSDSC2BW240A4"},
      {"INTEL SS", "INTEL SSDSA2CW120G3", "Intel", "SSDSA2CW120G3"},
  };
  expect_rows(rows);
}

TEST(guess_vendor_and_model, makers_inside_the_model) {
  const name_row rows[] = {
      {"NVMe", "PM981 NVMe SAMSU", "Samsung", "PM981"},
      {"NVMe", "PM981 NVMe SAMSUNG 512GB", "Samsung", "PM981 512GB"},
      // At the very start the word is not cut.
      {"", " NVMe SAMSUNG 512GB", "", "NVMe SAMSUNG 512GB"},
      {"NVMe", "KXG50ZNV256G NVMe TOSHIBA 256GB", "Toshiba", "KXG50ZNV256G 256GB"},
      {"", "MQ01ABD100 TOSHIBA", "Toshiba", "MQ01ABD100"},
      {"", "KXG50ZNV256G NVMe TOSHIBA 256GB TOSHIBA", "Toshiba", "KXG50ZNV256G 256GB"},
      {"COVECUBE", "CoveFsDisk_____", "StableBit", "DrivePool"},
      {"CoveCube", "Other", "StableBit", "Other"},
      {"HzW RAID", "DATA", "HornetTek", "DATA"},
      {"Packard", "Bell Store&Save", "Packard Bell", "Store&Save"},
      {"USB3.0", "Silicon-Power32G", "Silicon Power", "USB3.0 Silicon-Power32G"},
      {"", "Silicon-Power32G", "Silicon Power", "Silicon-Power32G"},
      {"PHD 3.0", "ST1000LM035-1RK172", "Silicon Power / Seagate", "ST1000LM035-1RK172"},
      {"PHD 3.0", "Portable", "Silicon Power", "Portable"},
  };
  expect_rows(rows);
}

TEST(guess_vendor_and_model, generic_vendors_are_cleared) {
  const name_row rows[] = {
      {"", "ATA  ST3500418AS ", "Seagate", "ST3500418AS"},
      {"", "Backup+ Desk", "Seagate", "Backup+ Desk"},
      {"", "Patriot Memory", "Patriot", "Flash storage"},
      {"Generic-", "SD/MMC", "", "SD/MMC"},
      {"General", "usb flash disk", "", "USB Flash Disk"},
      {"H/W RAID", "RAID5", "", "RAID5"},
      {"Ext Hard", "Disk", "", "Disk"},
      {"WD", "My Passport 0820", "Western Digital", "My Passport 0820"},
      {"WD", "My Book 1140", "Western Digital", "My Book 1140"},
      {"HGST HTS", "HGST HTS721010A9E630", "HGST", "HTS721010A9E630"},
      {"HUA72201", "HUA722010CLA330", "HGST", "HUA722010CLA330"},
      {"TS64GSSD", "TS64GSSD370S", "Transcend", "TS64GSSD370S"},
      {"MKNSSDEC", "240GB", "", "240GB"},
      {"MKNSSDCR", "MKNSSDCR240GB", "Mushkin", "MKNSSDCR240GB"},
      {"MTFDDAK2", "56TBN", "", "56TBN"},
      {"Multiple", "Card  Reader", "", "Card Reader"},
      {"Single", "Flash Reader", "", "Flash Reader"},
      {"MTRON MS", "MTRON MSD-SATA", "MTRON", "MSD-SATA"},
      {"VIVA", "VIVA256", "Deotera", "VIVA256"},
      {"Mass", "STORAGE DEVICE", "", "Storage Device"},
      {"SATA", "SSD", "", "SSD"},
      {"USB2.0", "flash drive", "", "Flash Drive"},
      {"USB 2.0", "CARD-READER", "", "Card Reader"},
  };
  expect_rows(rows);
}

TEST(guess_vendor_and_model, model_patterns_name_the_maker) {
  const name_row rows[] = {
      {"", "st2000dm001", "Seagate", "st2000dm001"},
      {"", "STM3250310AS", "Maxtor", "STM3250310AS"},
      {"", "MHV2060AH", "Fujitsu", "MHV2060AH"},
      {"", "MHA2060AH", "", "MHA2060AH"},
      {"", "HDS721010CLA332", "Hitachi", "HDS721010CLA332"},
      {"", "HD103SJ", "Samsung", "HD103SJ"},
      {"", "MMcRE28G5MXP-0VB", "Samsung", "MMcRE28G5MXP-0VB"},
      {"", "MZ7", "Samsung", "MZ7"},
      {"", "MZ", "", "MZ"},
      {"", "DT01ACA100", "Toshiba", "DT01ACA100"},
      {"", "THNSNJ256GCSU", "Toshiba", "THNSNJ256GCSU"},
      {"", "WD10EZEX", "Western Digital", "WD10EZEX"},
      {"", "CT500MX500SSD1", "Crucial", "CT500MX500SSD1"},
      {"", "LCS-256M6S", "Liteon", "LCS-256M6S"},
      {"", "LXS-256M6S", "", "LXS-256M6S"},
      {"", "SDSSDA240G", "SanDisk", "SDSSDA240G"},
      {"", "SD6SB1M128G", "SanDisk", "SD6SB1M128G"},
      {"", "HFS256G39TND", "SK hynix", "HFS256G39TND"},
      {"", "CHN 25SATA01M 030", "Zheino", "CHN 25SATA01M 030"},
      {"", "CHNX", "", "CHNX"},
      {"DELL", "PERC H730 Mini", "Dell", "PERC H730 Mini"},
      {"", "SSD Smartbuy 240GB", "Smartbuy", "SSD Smartbuy 240GB"},
      // A pattern row keeps the vendor already given.
      {"Foo", "ST2000DM001", "Foo", "ST2000DM001"},
  };
  expect_rows(rows);
}

TEST(guess_vendor_and_model, model_prefixes_are_stripped) {
  const name_row rows[] = {
      {"", "SAMSUNG HD103SJ", "Samsung", "HD103SJ"},
      {"", "samsung SSD 850 EVO", "Samsung", "SSD 850 EVO"},
      {"", "Crucial_CT256MX100SSD1", "Crucial", "CT256MX100SSD1"},
      {"", "Crucial_ CT256MX100SSD1", "Crucial", "CT256MX100SSD1"},
      {"", "Micron_1100_MTFDDAV256TBN", "Micron", "1100_MTFDDAV256TBN"},
      {"", "LITEONIT LCS-256M6S", "Liteon", "LCS-256M6S"},
      {"", "LITEON IT LCS-256M6S", "Liteon", "LCS-256M6S"},
      {"", "HP SSD EX900", "Hewlett Packard", "SSD EX900"},
      {"", "KINGSTON SA400S37240G", "Kingston", "SA400S37240G"},
      {"", "SK hynix SC311", "SK hynix", "SC311"},
      {"", "ExcelStor Technology J680", "ExcelStor", "J680"},
      {"", "SPCC Solid State Disk", "Silicon Power", "Solid State Disk"},
      {"Foo", "SAMSUNG HD103SJ", "Foo", "HD103SJ"},
      {"", "INTEL SSDSC2KW256G8 SATA 256GB", "Intel", "SSDSC2KW256G8"},
  };
  expect_rows(rows);
}

TEST(guess_vendor_and_model, vendor_names_and_trailing_marks) {
  const name_row rows[] = {
      {"SEAGATE", "Expansion", "Seagate", "Expansion"},
      {"TOSHIBA", "MQ01ABD100", "Toshiba", "MQ01ABD100"},
      {"transcend", "Portable", "Transcend", "Portable"},
      {"Msft", "Virtual Disk", "Microsoft", "Virtual Disk"},
      {"HP", "LOGICAL VOLUME", "Hewlett Packard", "LOGICAL VOLUME"},
      {"INTEL", "SSDSC2BB480G4", "Intel", "SSDSC2BB480G4"},
      {"WDC", "Elements 25A2", "Western Digital", "Elements 25A2"},
      {"XENSRC", "PVDISK", "Xen Project", "PVDISK"},
      {"JMCR", "Bridge", "JMicron", "Bridge"},
      {"Kingston,", "DataTraveler 3.0", "Kingston", "DataTraveler 3.0"},
      {"Verbatim_", "STORE N GO", "Verbatim", "STORE N GO"},
      {"Verbatim -", "STORE N GO", "Verbatim", "STORE N GO"},
      {"Verbatim -,", "STORE N GO", "Verbatim", "STORE N GO"},
  };
  expect_rows(rows);
}

TEST(guess_vendor_and_model, enclosures) {
  const name_row rows[] = {
      {"ACASIS", "ST1000LM035", "Acasis / Seagate", "ST1000LM035"},
      {"ASMT", "2115", "ASMT", "2115"},
      {"ADplus", "SAMSUNG SSD 850", "Inateck / Samsung", "SSD 850"},
      {"micronet", "Platinum", "Micronet", "Platinum"},
      {"Seagate", "WD10EZEX", "Seagate / Western Digital", "WD10EZEX"},
      {"ADATA", "TOSHIBA MQ01ABD100", "ADATA / Toshiba", "MQ01ABD100"},
  };
  expect_rows(rows);
}

TEST(guess_vendor_and_model, model_rules_by_vendor) {
  const name_row rows[] = {
      {"", "OCZ-VERTEX4", "OCZ", "Vertex 4"},
      {"OCZ-AGIL", "OCZ-AGILITY3", "OCZ", "Agility 3"},
      {"", "OCZ REVODRIVE350", "OCZ", "RevoDrive 350"},
      {"", "OCZ-VECTOR", "OCZ", "Vector"},
      {"", "OCZ-VERTEX PLUS", "OCZ", "Vertex PLUS"},
      {"", "OCZ-ARC100", "OCZ", "ARC 100"},
      {"", "HDC ONYX2", "HDC", "Onyx 2"},
      // Flash names only apply to other vendors.
      {"OCZ", "flash disk", "OCZ", "flash disk"},
      {"", "flash disk", "", "Flash Disk"},
      {"Kingston", "usb flash drive", "Kingston", "USB Flash Drive"},
      {"INTEL", "SSD 530 SATA", "Intel", "SSD 530"},
      {"INTEL", "RAID SATA", "Intel", "RAID SATA"},
      {"Intel", "usb flash disk", "Intel", "usb flash disk"},
      {"", "card  reader", "", "card  reader"},
  };
  expect_rows(rows);
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
      {0, L""},
      {1, L"HDD"},
      {2, L"SSD"},
      {3, L"NMVe"},
      {4, L"SD card"},
      {5, L"RAM device"},
      {6, L"RAID"},
      {7, L"Storage space"},
      {8, L"Network share"},
      {9, L""},
      {-1, L""},
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
    {"ram disk before SD", [](drive_info& d) {
       d.instance_id = L"root\\dataram_ramdisk\\0000";
       d.bus_type = 12;
     },
     kind_ram_device},
    {"SD bus", [](drive_info& d) { d.bus_type = 12; }, kind_sd_card},
    {"SD bus before NVMe", [](drive_info& d) {
       d.bus_type = 12;
       d.has_nvme_identify = true;
     },
     kind_sd_card},
    {"SD Card", [](drive_info& d) { d.description = L"SD Card"; }, kind_sd_card},
    {"SDHC Card", [](drive_info& d) { d.description = L"SDHC Card"; }, kind_sd_card},
    {"sd card is exact", [](drive_info& d) { d.description = L"sd card"; }, kind_hdd},
    {"NVMe bus", [](drive_info& d) { d.bus_type = 17; }, kind_nvme},
    {"NVMe identify", [](drive_info& d) { d.has_nvme_identify = true; }, kind_nvme},
    {"NVMe behind USB", [](drive_info& d) {
       d.bus_type = 7;
       d.interface_path = L"\\\\?\\USBSTOR#Disk&Ven_Realtek&Prod_RTL9210B_NVME#0123&0#{53f56307}";
     },
     kind_nvme},
    {"nvme vendor", [](drive_info& d) { d.vendor_org = "NVMe"; }, kind_nvme},
    {"nvme product", [](drive_info& d) { d.product_org = "Force MP510 NVMe"; }, kind_nvme},
    {"trim without seek penalty", [](drive_info& d) {
       d.trim_enabled = 1;
       d.incurs_seek_penalty = 0;
     },
     kind_ssd},
    {"trim, seek penalty unknown", [](drive_info& d) { d.trim_enabled = 1; }, kind_hdd},
    {"no rotation", [](drive_info& d) { set_word(d, 217, 1); }, kind_ssd},
    {"7200 rpm", [](drive_info& d) { set_word(d, 217, 7200); }, kind_hdd},
    {"TRIM supported", [](drive_info& d) { set_word(d, 169, 0x0001); }, kind_ssd},
    {"other data set bits", [](drive_info& d) { set_word(d, 169, 0x0002); }, kind_hdd},
    {"words without a block", [](drive_info& d) {
       put_word(d.identify, 217, 1);
       put_word(d.identify, 169, 1);
     },
     kind_hdd},
    {"ADATA SP", [](drive_info& d) {
       d.vendor_org = "ADATA";
       d.product_org = "sp900";
     },
     kind_ssd},
    {"adata is exact", [](drive_info& d) {
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
