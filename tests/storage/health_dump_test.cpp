// Controller-side drives show their SMART tables in the stack dump too, named by their IDENTIFY.
#include <gtest/gtest.h>

#include <string>

#include "captured_log.h"
#include "health_blocks.h"
#include "storage/storage_scan.h"

TEST(health_dump, phys_of_arrays_and_inaccessible_drives_show_their_tables) {
  storage_stack m;
  controller_info c;
  c.instance_id = L"pci\\ven_8086&dev_2822\\3&1";
  c.description = "Intel(R) Chipset SATA RAID Controller";
  for (uint32_t n = 0; n < 2; ++n) {
    phy_drive p;
    p.number = n;
    p.model = "CT500MX500SSD1";
    p.serial = "1904E1E5ABC" + std::to_string(n);
    p.capacity = 500107862016ull;
    p.address = "0.0." + std::to_string(n);
    p.has_identify = true;
    p.identify = identify_block({"CT500MX500SSD1", p.serial, "M3CR023", 976773168ull, 1, true, true});
    p.has_smart = true;
    p.smart.attributes = attributes_block({{9, 0x32, 100, 100, 7340u + n}, {202, 0x30, 98, 98, 2}});
    p.smart.thresholds = thresholds_block({{9, 0}, {202, 1}});
    c.phys.push_back(p);
  }
  raid_volume v;
  v.number = 0;
  v.raid_level = 1;
  v.drives = {0};
  c.raid_volumes = {v};
  m.controllers.push_back(c);
  drive_info d;
  d.device_number = 0;
  d.device_path = L"\\\\.\\PhysicalDrive0";
  d.description = L"Intel Raid 1 Volume";
  d.product_org = "Volume0";
  d.bus_type = d.adapter_bus_type = 8;
  d.parent_instance_id = c.instance_id;
  d.has_geometry = true;
  m.drives.push_back(d);
  build_stack(m, nullptr);
  captured_log log;
  dump_stack(m, log.target);
  EXPECT_EQ(log.text(),
            "2 Storage stack:\n"
            "2  1. Array\n"
            "2       Description                [Intel Raid 1 Volume]\n"
            "2       Vendor                     [], org []\n"
            "2       Model                      [Volume0], org [Volume0]\n"
            "2       Serial                     []\n"
            "2       Capacity                   18446744073709551615\n"
            "2       SSD                        0\n"
            "2       Bus types                  8 8\n"
            "2       Info sources               -\n"
            "2       Mode                       RAID 0x01\n"
            "2       Drive  1\n"
            "2         Vendor                   [Crucial]\n"
            "2         Model                    [CT500MX500SSD1], org [CT500MX500SSD1]\n"
            "2         Serial                   [1904E1E5ABC0]\n"
            "2         Capacity                 500107862016\n"
            "2         SSD                      1\n"
            "2         Address                  0.0.0\n"
            "2         SMART table\n"
            "2          1.    9  100    0  000000001cac  0032  |  Common           |  Power-on hours\n"
            "2          2.  202   98    1  000000000002  0030  |  Crucial SSD      |  Lifetime remaining\n"
            "2  2. Drive (inaccessible)\n"
            "2       Controller                 Intel(R) Chipset SATA RAID Controller\n"
            "2       Vendor                     [Crucial]\n"
            "2       Model                      [CT500MX500SSD1], org [CT500MX500SSD1]\n"
            "2       Serial                     [1904E1E5ABC1]\n"
            "2       Capacity                   500107862016\n"
            "2       SSD                        1\n"
            "2       Address                    0.0.1\n"
            "2       SMART table\n"
            "2        1.    9  100    0  000000001cad  0032  |  Common           |  Power-on hours\n"
            "2        2.  202   98    1  000000000002  0030  |  Crucial SSD      |  Lifetime remaining\n");
}
