#include "storage/location_link.h"

#include <gtest/gtest.h>

namespace {
// A scanned machine with a USB 2.0 disk 0, a SATA disk 1 and one volume over the given disks.
struct usb_machine {
  storage_stack model;
  explicit usb_machine(std::vector<uint32_t> disks) {
    model.drives.resize(2);
    model.drives[0].device_number = 0;
    model.drives[0].bus_type = 7;
    model.drives[0].usb_speed = 4;
    model.drives[1].device_number = 1;
    model.drives[1].bus_type = 11;
    for (const drive_info& d : model.drives) model.stack.push_back({&d, nullptr, nullptr, {}});
    volume_info v;
    v.has_info = true;
    v.serial_number = 0x1234ABCD;
    for (uint32_t disk : disks) {
      volume_extent e;
      e.disk_number = disk;
      v.extents.push_back(e);
    }
    model.volumes.push_back(v);
  }
};
}  // namespace

TEST(location_link, the_one_drive_under_the_volume) {
  usb_machine one({0});
  const device_link link = location_link(show_local_location(one.model, 0, L"Windows 10"));
  EXPECT_EQ(link.name, "USB 2.0");
  EXPECT_DOUBLE_EQ(link.bytes_per_second, 60e6);

  // Spread over two disks, the volume may outrun either link.
  usb_machine spanned({0, 1});
  EXPECT_EQ(location_link(show_local_location(spanned.model, 0, L"Windows 10")).bytes_per_second, 0);
  // A share, or a location the scan does not know, has no link.
  EXPECT_EQ(location_link(show_network_location(L"NTFS", 1, share_info{})).bytes_per_second, 0);
  EXPECT_EQ(location_link(fallback_summary(L"NTFS")).bytes_per_second, 0);
}
