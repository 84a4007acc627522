// Synthetic machines with disks: what the scan keeps, the stack it dumps, and the facts of a
// location on each volume.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drive_replies.h"
#include "fake_machine.h"
#include "machine_scan.h"
#include "volume_replies.h"

namespace {

constexpr uint64_t mib = 1ull << 20;
constexpr uint64_t gib = 1ull << 30;
const std::string dash = "\xE2\x80\x93";

fake_partition mbr_partition(uint32_t number, uint64_t offset, uint64_t length) {
  fake_partition p;
  p.number = number;
  p.offset = offset;
  p.length = length;
  return p;
}

fake_partition gpt_partition(uint32_t number, uint64_t offset, uint64_t length, const std::wstring& name) {
  fake_partition p = mbr_partition(number, offset, length);
  p.gpt_type = basic_data_type;
  p.gpt_id = test_guid(0x1000 + number);
  p.gpt_name = name;
  return p;
}

std::string seagate_dump(const std::string& title = "Drive") {
  return "2 Storage stack:\n"
         "2  1. " + title + "\n"
         "2       Description                [ST1000DM003-1ER162]\n"
         "2       Vendor                     [Seagate], org []\n"
         "2       Model                      [ST1000DM003-1ER162], org [ST1000DM003-1ER162]\n"
         "2       Serial                     [Z4Y8B2QK]\n"
         "2       Capacity                   1000204886016\n"
         "2       SSD                        0\n"
         "2       Bus types                  11 11\n"
         "2       Info sources               -\n";
}

const std::string seagate_facts =
    "Volume.file_system=NTFS\nVolume.file_system.version=0.0\nVolume.file_system.cluster=4096 bytes\n"
    "Volume.type=-\n=\nDevice.type=HDD\nDevice.vendor=Seagate\nDevice.model=ST1000DM003-1ER162\n"
    "Device.bus=11 / 11\nDevice.controller=Standard SATA AHCI Controller\n";

TEST(MachineDisks, MbrDiskWithTwoOfFourSlotsUsed) {
  const scanned s = scan_recorded("partitions");  // C: and D: in the first two slots
  ASSERT_EQ(s.model->drives.size(), 1u);
  const drive_info& d = s.model->drives[0];
  // Four slots listed (the recording's log), two kept, then the gaps before, between and after them.
  ASSERT_EQ(d.partitions.size(), 4u);
  EXPECT_TRUE(d.partitions[0].gap);
  EXPECT_EQ(d.partitions[1].number, 1u);
  EXPECT_EQ(d.partitions[2].number, 2u);
  EXPECT_TRUE(d.partitions[3].gap);
  EXPECT_EQ(d.partitions[3].offset + d.partitions[3].length, d.capacity);
  // Each volume is linked to its partition.
  ASSERT_EQ(s.model->volume_links.size(), 2u);
  EXPECT_EQ(s.model->volume_links[0].partition, 1);
  EXPECT_EQ(s.model->volume_links[1].partition, 2);
  EXPECT_EQ(facts_of(s, 0), seagate_facts);
  EXPECT_EQ(facts_of(s, 1), seagate_facts);
}

TEST(MachineDisks, GptDiskWithTwoVolumes) {
  fake_machine m;
  fake_disk disk;
  disk.partitions = {gpt_partition(1, mib, 16 * mib, L"Microsoft reserved partition"),
                     gpt_partition(2, 17 * mib, 400 * gib, L"Basic data partition"),
                     gpt_partition(3, 17 * mib + 400 * gib, 500 * gib, L"Basic data partition")};
  add_disk(m, disk);
  add_volume(m, numbered_volume(2, L'C', {{0, 17 * mib, 400 * gib}}));
  add_volume(m, numbered_volume(3, L'E', {{0, 17 * mib + 400 * gib, 500 * gib}}));
  const scanned s = scan_machine(m);
  ASSERT_EQ(s.model->drives.size(), 1u);
  EXPECT_EQ(s.model->drives[0].layout_style, 2u);
  EXPECT_NE(s.log.find("2           Gpt.Name               [Basic data partition]\n"), std::string::npos);
  ASSERT_EQ(s.model->volume_links.size(), 2u);
  EXPECT_EQ(stack_dump(s), seagate_dump());
  EXPECT_EQ(facts_of(s, 1), seagate_facts);
  EXPECT_EQ(location_roots(*s.model), (std::vector<std::wstring>{L"C:\\", L"E:\\"}));
  EXPECT_EQ(m.open_handles(), 0);
}

TEST(MachineDisks, DiskOpenedOnlyForItsAttributes) {
  fake_machine m;
  fake_disk disk;
  disk.accepted_access = {FILE_READ_ATTRIBUTES};
  disk.partitions = {gpt_partition(1, mib, 900 * gib, L"Basic data partition")};
  add_disk(m, disk);
  add_volume(m, numbered_volume(1, L'C', {{0, mib, 900 * gib}}));
  const scanned s = scan_machine(m);
  ASSERT_EQ(s.model->drives.size(), 1u);
  EXPECT_EQ(s.model->drives[0].open_access, DWORD(FILE_READ_ATTRIBUTES));
  EXPECT_NE(s.log.find("3       OK, with [RA] access\n"), std::string::npos);
  EXPECT_NE(s.log.find("0       CreateFile() failed with 5, GR+GW\n"), std::string::npos);
  EXPECT_EQ(s.model->drives[0].partitions.size(), 3u);  // gap, the partition, gap
  EXPECT_EQ(facts_of(s, 0), seagate_facts);
}

TEST(MachineDisks, UsbDiskNamesTheHostController) {
  fake_machine m;
  fake_disk disk;
  disk.instance_id = L"USBSTOR\\Disk&Ven_StoreJet&Prod_Transcend&Rev_0\\S2J9NX0H123456&0";
  disk.friendly_name = L"StoreJet Transcend USB Device";
  disk.parent_id = L"USB\\VID_174C&PID_55AA\\MSFT30S2J9NX0H123456";
  disk.parent_class = L"USB";
  disk.parent_desc = L"USB Mass Storage Device";
  disk.above_parent = {{L"USB\\ROOT_HUB30\\4&1F3A1B4E&0&0", L"USB", L"USB Root Hub (USB 3.0)"},
                       {L"PCI\\VEN_8086&DEV_A12F&SUBSYS_86941043&REV_31\\3&11583659&0&A0", L"USB",
                        L"Intel(R) USB 3.0 eXtensible Host Controller - 1.0 (Microsoft)"}};
  disk.vendor = "StoreJet";
  disk.product = "TS1TSJ25M3";
  disk.serial = "S2J9NX0H123456";
  disk.bus_type = 7;
  disk.adapter_bus_type = 7;
  disk.trim = -1;
  disk.seek_penalty = -1;
  disk.partitions = {mbr_partition(1, mib, 931 * gib)};
  disk.layout = mbr_layout;
  add_disk(m, disk);
  add_volume(m, numbered_volume(4, L'F', {{0, mib, 931 * gib}}));
  const scanned s = scan_machine(m);
  ASSERT_EQ(s.model->drives.size(), 1u);
  const drive_info& d = s.model->drives[0];
  EXPECT_EQ(d.parent_vendor_id, 0x174C);
  EXPECT_EQ(d.parent_product_id, 0x55AA);
  EXPECT_EQ(d.controller_name, L"Intel(R) USB 3.0 eXtensible Host Controller - 1.0 (Microsoft)");
  EXPECT_NE(s.log.find("2       USB controller             Intel(R) USB 3.0 eXtensible Host Controller - 1.0 "
                       "(Microsoft)\n"),
            std::string::npos);
  EXPECT_EQ(facts_of(s, 0),
            "Volume.file_system=NTFS\nVolume.file_system.version=0.0\nVolume.file_system.cluster=4096 bytes\n"
            "Volume.type=-\n=\nDevice.type=HDD\nDevice.vendor=Transcend / Transcend\nDevice.model=TS1TSJ25M3\n"
            "Device.bus=7 / 7\nDevice.usb=" + dash +
                "\nDevice.controller=Intel(R) USB 3.0 eXtensible Host Controller - 1.0 (Microsoft)\n");
}

TEST(MachineDisks, AcronisVirtualDiskNeverEntersTheModel) {
  fake_machine m;
  fake_disk disk;
  disk.instance_id = L"ACRONISVBUS\\VIRTUALDISK\\1&2AFD7D61&0&00";
  add_disk(m, disk);
  const scanned s = scan_machine(m);
  EXPECT_TRUE(s.model->drives.empty());
  EXPECT_NE(s.log.find("2     ** Acronis virtual disk -- ignored\n"), std::string::npos);
  EXPECT_EQ(stack_dump(s), "2 Storage stack:\n");
}

TEST(MachineDisks, VolumeSpanningTwoDisksBelongsToTheLowerOne) {
  fake_machine m;
  fake_disk first, second;
  second.number = 1;
  second.serial = "Z4Y8C9RM";
  second.msdos_device = L"\\Device\\Harddisk1\\DR1";
  first.layout = second.layout = mbr_layout;
  first.partitions = second.partitions = {mbr_partition(1, mib, 900 * gib)};
  first.partitions[0].mbr_type = second.partitions[0].mbr_type = 0x42;  // dynamic disk
  add_disk(m, second);
  add_disk(m, first);
  add_volume(m, numbered_volume(5, L'S', {{1, mib, 500 * gib}, {0, mib, 900 * gib}}));
  const scanned s = scan_machine(m);
  ASSERT_EQ(s.model->drives.size(), 2u);
  EXPECT_EQ(s.model->drives[0].device_number, 0u);
  ASSERT_EQ(s.model->volumes.size(), 1u);
  EXPECT_EQ(s.model->volumes[0].extents.size(), 2u);
  EXPECT_EQ(s.model->volume_links.size(), 2u);
  const location_summary summary = show_local_location(*s.model, 0, L"Windows 10");
  ASSERT_NE(summary.selected_drive, nullptr);
  EXPECT_EQ(summary.selected_drive->device_number, 0u);
  EXPECT_EQ(summary.selected_drive->serial, "Z4Y8B2QK");
  EXPECT_EQ(m.open_handles(), 0);
}

}  // namespace
