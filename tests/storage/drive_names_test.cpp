#include "storage/drive_identify.h"
#include "storage/drive_kinds.h"
#include "storage/drive_names.h"

#include <gtest/gtest.h>

#include "captured_log.h"
#include "described_drive.h"
#include "golden.h"
#include "support/text.h"

namespace {

std::string narrow(const std::wstring& text) { return to_utf8(text); }
}  // namespace

// Each "[vendor] [model] => [vendor] [model]" line of the table.
TEST(guess_vendor_and_model, every_row_of_the_table) {
  expect_table("storage/drive_names.txt", [](const std::string& q) {
    const size_t split = q.find("] [");
    std::string vendor = q.substr(1, split - 1), model = q.substr(split + 3, q.size() - split - 4);
    guess_vendor_and_model(model, vendor);
    return "[" + vendor + "] [" + model + "]";
  });
}

TEST(ata_string, swaps_pairs_and_trims) {
  const uint8_t block[] = {'x', 'x', ' ', ' ', 'T', 'S', '0', '2', '0', '0', ' ', ' ', 0, 0, 'y', 'y'};
  EXPECT_EQ(ata_string(block, 2, 12), "ST2000");
  EXPECT_EQ(ata_string(block, 4, 4), "ST20");
  EXPECT_EQ(ata_string(block, 10, 4), "");
  EXPECT_EQ(ata_string(block, 0, 2), "xx");
  const uint8_t inner[] = {'D', 'W', ' ', 'C', 'D', 'W', ' ', ' '};
  EXPECT_EQ(ata_string(inner, 0, 8), "WDC WD");
  const uint8_t nvme[] = {' ', 'S', 'a', 'm', ' ', 0, ' ', 0};
  EXPECT_EQ(nvme_string(nvme, 0, 8), "Sam");
  EXPECT_EQ(nvme_string(nvme, 4, 4), "");
  EXPECT_EQ(nvme_string(nvme, 1, 2), "Sa");
}

// Each row of tests/data/storage/drive_kinds.txt: the kind's label, the names shown and what the
// IDENTIFY block updates; a "phy" row is a controller's drive, a "stack" row a stack entry.
TEST(drive_kind, every_row_of_the_table) {
  expect_table("storage/drive_kinds.txt", [](const std::string& q) {
    const bool phy = q.compare(0, 4, "phy ") == 0;
    drive_info d = described_drive(phy ? q.substr(4) : q);
    if (phy) {
      phy_drive p;
      p.model = d.product_org;
      p.has_identify = d.identify_source != 0;
      p.identify = d.identify;
      const display_names n = normalize_phy_names(p);
      return std::string(is_phy_ssd(p) ? "SSD" : "HDD") + " [" + n.vendor + "] [" + n.model + "]";
    }
    const display_names n = normalize_drive_names(d);
    std::string t = narrow(device_kind_label(drive_kind(d))) + " [" + n.vendor + "] [" + n.model + "]";
    captured_log log;
    update_names_from_identify(d, log.log);
    for (const std::string& line : log.target->lines()) t += " |" + line.substr(1, line.size() - 2);
    return t;
  });
}

// Labels of kinds and USB speeds, and the kind of a stack entry, in tests/data/storage/labels.txt.
TEST(device_kind_label, every_row_of_the_table) {
  expect_table("storage/labels.txt", [](const std::string& q) {
    const std::string what = q.substr(0, q.find(' ')), value = q.substr(q.find(' ') + 1);
    if (what == "kind") return narrow(device_kind_label(std::stoi(value)));
    if (what == "usb") return narrow(usb_speed_label(uint32_t(std::stoul(value, nullptr, 0))));
    drive_info nvme;
    nvme.bus_type = 17;
    raid_volume array;
    stack_entry entry;
    if (value != "without drive") entry.drive = &nvme;
    if (value == "array") entry.raid = &array;
    return narrow(device_kind_label(stack_entry_kind(entry)));
  });
}
