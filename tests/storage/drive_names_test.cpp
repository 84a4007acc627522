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
  d.has_nvme_identify = true;  // the ATA block is preferred
  d.nvme_identify.assign(4096, 'n');
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
// The drive a "field=value; ..." list describes ("-": none).
drive_info described_drive(const std::string& fields) {
  drive_info d;
  size_t from = 0;
  while (fields != "-" && from < fields.size()) {
    size_t end = fields.find("; ", from);
    if (end == std::string::npos) end = fields.size();
    const std::string f = fields.substr(from, end - from);
    from = end + 2;
    const size_t eq = f.find('=');
    const std::string key = f.substr(0, eq), value = eq == std::string::npos ? "" : f.substr(eq + 1);
    const std::wstring wide(value.begin(), value.end());
    if (key == "vendor") d.vendor_org = value;
    else if (key == "product") d.product_org = value;
    else if (key == "description") d.description = wide;
    else if (key == "instance") d.instance_id = wide;
    else if (key == "interface") d.interface_path = wide;
    else if (key == "bus") d.bus_type = std::stoul(value);
    else if (key == "trim") d.trim_enabled = std::stoul(value);
    else if (key == "seek") d.incurs_seek_penalty = std::stoul(value);
    else if (key == "nvme_identify") d.has_nvme_identify = true;
    else if (key == "source") d.identify_source = value == "ctrl" ? source_ctrl : source_ata;
    else if (key == "ata_model") put_ata_text(d.identify.data(), 54, 40, value.c_str());
    else if (key.rfind("word", 0) == 0 || key.rfind("raw_word", 0) == 0) {
      if (key[0] == 'w') d.identify_source = source_ata;
      put_word(d.identify, std::stoul(key.substr(key.find("word") + 4)), uint16_t(std::stoul(value)));
    } else ADD_FAILURE() << "no such field: " << key;
  }
  return d;
}
}  // namespace

// Each row of tests/data/storage/drive_kinds.txt: the kind's label and the names shown.
TEST(drive_kind, every_row_of_the_table) {
  std::istringstream lines(test_data_text("storage/drive_kinds.txt"));
  std::string line, text;
  while (std::getline(lines, line)) {
    const size_t arrow = line.find(" -> ");
    if (line.empty() || line[0] == '#' || arrow == std::string::npos) {
      text += line + "\n";
      continue;
    }
    const drive_info d = described_drive(line.substr(0, arrow));
    const display_names n = normalize_drive_names(d);
    const std::wstring label = device_kind_label(drive_kind(d));
    text += line.substr(0, arrow) + " -> " + std::string(label.begin(), label.end()) + " [" + n.vendor + "] [" +
            n.model + "]\n";
  }
  expect_golden(text, "storage/drive_kinds.txt");
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
