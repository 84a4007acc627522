#include "storage/device_link.h"

#include <gtest/gtest.h>

#include "described_drive.h"
#include "golden.h"
#include "support/format_string.h"

// Each described drive of tests/data/storage/device_links.txt: its link's name and bytes a second.
TEST(device_link, every_row_of_the_table) {
  expect_table("storage/device_links.txt", [](const std::string& q) {
    const device_link link = drive_link(described_drive(q));
    return format_string("[%s] %.17g", link.name.c_str(), link.bytes_per_second);
  });
}
