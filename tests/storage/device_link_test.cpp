#include "storage/device_link.h"

#include <gtest/gtest.h>

namespace {
constexpr uint32_t usb = 7, sata = 11, nvme = 17, ata = 3;

drive_info drive_on(uint32_t bus, uint32_t usb_speed = 0) {
  drive_info d;
  d.bus_type = bus;
  d.usb_speed = usb_speed;
  d.product_org = "Disk";
  return d;
}

void set_word(drive_info& d, size_t word, uint16_t value) {
  d.identify_source = source_ata_pt;
  d.identify[word * 2] = uint8_t(value);
  d.identify[word * 2 + 1] = uint8_t(value >> 8);
}
}  // namespace

TEST(device_link, usb_speeds) {
  struct {
    uint32_t speed;
    const char* name;
    double rate;
  } rows[] = {
      {2, "USB 1.1", 1.5e6},
      {4, "USB 2.0", 60e6},
      {8, "USB 3.0", 500e6},
      {16, "USB 3.1", 20e9 * 128 / 132 / 8},
  };
  for (const auto& r : rows) {
    const device_link link = drive_link(drive_on(usb, r.speed));
    EXPECT_EQ(link.name, r.name);
    EXPECT_DOUBLE_EQ(link.bytes_per_second, r.rate);
  }
  // An unknown speed, or several bits at once, says nothing.
  for (uint32_t speed : {0u, 3u, 12u}) EXPECT_EQ(drive_link(drive_on(usb, speed)).bytes_per_second, 0) << speed;
}

TEST(device_link, sata_generation_from_identify) {
  drive_info d = drive_on(sata);
  EXPECT_EQ(drive_link(d).name, "SATA");  // no IDENTIFY: the fastest SATA there is
  EXPECT_DOUBLE_EQ(drive_link(d).bytes_per_second, 600e6);
  set_word(d, 76, 0x000E);  // generations 1 to 3
  EXPECT_EQ(drive_link(d).name, "SATA 6 Gb/s");
  set_word(d, 77, 2 << 1);  // negotiated at generation 2
  EXPECT_EQ(drive_link(d).name, "SATA 3 Gb/s");
  EXPECT_DOUBLE_EQ(drive_link(d).bytes_per_second, 300e6);
  set_word(d, 77, 0xFFFF);
  set_word(d, 76, 0x0002);
  EXPECT_EQ(drive_link(d).name, "SATA 1.5 Gb/s");

  // A SATA drive seen on an ATA bus is told by its IDENTIFY; a PATA one (word 76 zero) is not.
  drive_info legacy = drive_on(ata);
  set_word(legacy, 76, 0x0006);
  EXPECT_EQ(drive_link(legacy).name, "SATA 3 Gb/s");
  set_word(legacy, 76, 0x0000);
  EXPECT_EQ(drive_link(legacy).bytes_per_second, 0);
  set_word(legacy, 76, 0xFFFF);
  EXPECT_EQ(drive_link(legacy).bytes_per_second, 0);
}

TEST(device_link, slower_link_wins_and_arrays_have_none) {
  drive_info bridged = drive_on(usb, 8);  // a SATA drive behind a USB 3.0 bridge
  set_word(bridged, 76, 0x0002);
  EXPECT_EQ(drive_link(bridged).name, "SATA 1.5 Gb/s");
  set_word(bridged, 76, 0x0008);
  EXPECT_EQ(drive_link(bridged).name, "USB 3.0");

  EXPECT_EQ(drive_link(drive_on(nvme)).name, "");
  drive_info array = drive_on(sata);
  array.product_org = "Logical volume";
  EXPECT_EQ(drive_link(array).bytes_per_second, 0);
  drive_info space = drive_on(sata);
  space.product_org = "Storage space";
  EXPECT_EQ(drive_link(space).bytes_per_second, 0);
}
