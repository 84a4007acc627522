#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/text.h"
#include "fake_location.h"
#include "storage/location_summary.h"

// What the recorded machines' facts do not show: arrays named on the controller line, USB speeds
// not known, network shares, and finding the volume of a location.
namespace {

const std::wstring dot = L"  \u00B7  ";
const std::wstring dash = L"\u2013";

std::string facts_text(const location_summary& s) {
  std::string out;
  for (const auto& e : s.storage_facts) out += e.key + "=" + e.value + "\n";
  return out;
}

volume_info ntfs_volume(uint32_t serial, std::vector<uint32_t> disks) {
  volume_info v;
  v.has_info = true;
  v.serial_number = serial;
  v.file_system = L"NTFS";
  v.has_ntfs_data = true;
  v.ntfs.bytes_per_cluster = 4096;
  v.ntfs_major_version = 3;
  v.ntfs_minor_version = 1;
  uint64_t offset = 1 << 20;
  for (uint32_t d : disks) {
    volume_extent e;
    e.disk_number = d;
    e.offset = offset;
    e.length = 1ull << 30;
    v.extents.push_back(e);
  }
  return v;
}

drive_info sata_disk(uint32_t number) {
  drive_info d;
  d.device_number = number;
  d.vendor_org = "";
  d.product_org = "Samsung SSD 860 EVO 500GB";
  d.bus_type = 11;
  d.adapter_bus_type = 11;
  d.trim_enabled = 1;
  d.incurs_seek_penalty = 0;
  d.controller_name = L"Standard SATA AHCI Controller";
  return d;
}

// A model whose stack points into its own drives: build it after the drives are final.
void link_stack(storage_stack& m) {
  m.stack.clear();
  for (const drive_info& d : m.drives) {
    stack_entry e;
    e.drive = &d;
    m.stack.push_back(e);
  }
}

// A drive that is an array names the array on the controller line: level, label, drives and
// spares; without a device description the controller's own name stands first.
TEST(LocationSummary, ArrayOnTheControllerLine) {
  storage_stack m;
  m.drives = {sata_disk(0)};
  m.drives[0].controller_name.clear();
  m.drives[0].product_org = "Logical volume";
  controller_info c;
  c.description = "Smart Array P410";
  c.protocol = controller_protocol::ciss;
  for (uint32_t n : {2u, 3u, 4u}) {
    phy_drive p;
    p.number = n;
    p.model = "HP      EG0146FAWHU";
    c.phys.push_back(p);
  }
  raid_volume v;
  v.raid_level = 0x10;
  v.label = "Data";
  v.drives = {2, 3};
  v.spares = {4};
  c.raid_volumes = {v};
  m.controllers = {c};
  link_stack(m);
  stack_entry& e = m.stack[0];
  e.controller = &m.controllers[0];
  e.raid = &m.controllers[0].raid_volumes[0];
  for (const phy_drive& p : m.controllers[0].phys) e.members.push_back(&p);
  m.volumes = {ntfs_volume(0x1234ABCD, {0})};
  const location_summary s = show_local_location(m, 0, L"Windows 10");
  const std::wstring line =
      L"Smart Array P410" + dot + L"RAID 10 [Data]" + dot + L"EG0146FAWHU + EG0146FAWHU + EG0146FAWHU (spare)";
  EXPECT_EQ(s.controller, line);
  EXPECT_NE(facts_text(s).find("Device.type=RAID\n"), std::string::npos);
  EXPECT_NE(facts_text(s).find("Device.controller=" + to_utf8(line) + "\n"), std::string::npos);
}

TEST(LocationSummary, UsbDriveShowsItsSpeedOnlyWhenKnown) {
  storage_stack m;
  m.drives = {sata_disk(3)};
  m.drives[0].bus_type = 7;
  m.drives[0].vendor_org = "StoreJet";
  m.drives[0].product_org = "TS1TSJ25M3";
  m.drives[0].trim_enabled = unknown_u32;
  m.drives[0].controller_name = L"Intel(R) USB 3.0 eXtensible Host Controller";
  link_stack(m);
  volume_info v = ntfs_volume(1, {3});
  v.file_system = L"exFAT";
  m.volumes = {v};
  location_summary s = show_local_location(m, 0, L"W");
  EXPECT_EQ(s.file_system, L"exFAT");
  EXPECT_EQ(s.device, L"Transcend / Transcend" + dot + L"TS1TSJ25M3");
  EXPECT_EQ(facts_text(s),
            "Volume.file_system=exFAT\nVolume.type=-\n=\nDevice.type=HDD\nDevice.vendor=Transcend / Transcend\n"
            "Device.model=TS1TSJ25M3\nDevice.bus=11 / 7\nDevice.usb=\xE2\x80\x93\n"
            "Device.controller=Intel(R) USB 3.0 eXtensible Host Controller\n");
  m.drives[0].usb_speed = 8;
  s = show_local_location(m, 0, L"W");
  EXPECT_EQ(s.device, L"Transcend / Transcend" + dot + L"TS1TSJ25M3" + dot + L"USB 3.0");
  EXPECT_NE(facts_text(s).find("Device.usb=USB 3.0\n"), std::string::npos);
}

TEST(LocationSummary, DiskWithoutAStackEntryLeavesTheDeviceUnknown) {
  storage_stack m;
  m.drives = {sata_disk(0)};
  link_stack(m);
  m.stack[0].drive = nullptr;  // a controller-side entry
  m.volumes = {ntfs_volume(7, {0})};
  const location_summary s = show_local_location(m, 0, L"W");
  EXPECT_EQ(s.device, L"?");
  EXPECT_EQ(s.selected_drive, nullptr);
  EXPECT_EQ(facts_text(s).find("Device.type"), std::string::npos);
}

TEST(LocationSummary, NetworkShares) {
  share_info smb{0x00020000, 3, 1, 1};
  location_summary s = show_network_location(L"NTFS", 0xDEADBEEF, smb);
  EXPECT_EQ(s.file_system, L"NTFS");
  EXPECT_EQ(s.volume, L"DEAD-BEEF");
  EXPECT_EQ(s.device, L"Remote network share");
  EXPECT_EQ(s.controller, dash);
  EXPECT_EQ(s.host_os, dash);
  EXPECT_EQ(facts_text(s),
            "Volume.file_system=NTFS\nVolume.type=-\n=\nDevice.type=Network share\nShare.protocol=SMB 3.1.1\n");
  EXPECT_EQ(show_network_location(L"NFS", 0, share_info{0x00410000, 4, 0, 0}).storage_facts.back().value,
            "00410000 4.0.0");
  EXPECT_EQ(show_network_location(L"NFS", 0, share_info{}).storage_facts.back().value, "- 0.0.0");
}

TEST(LocationSummary, RefreshPicksTheCase) {
  storage_stack m;
  m.volumes = {ntfs_volume(0x11112222, {}), ntfs_volume(0x33334444, {}), ntfs_volume(0x33334444, {})};
  m.volumes[2].file_system = L"FAT32";
  fake_location api;
  api.roots = {{L"D:\\mnt\\data\\", L"D:\\mnt\\data\\"},
               {L"E:\\x\\", L"E:\\"},
               {L"N:\\", L"N:\\"},
               {L"\\\\srv\\share\\", L"\\\\srv\\share\\"},
               {L"F:\\", L"F:\\"}};
  api.identities = {{L"D:\\mnt\\data\\", {0x33334444, L"NTFS"}},
                    {L"E:\\", {0x99, L"FAT"}},
                    {L"N:\\", {0x11112222, L"NTFS"}},
                    {L"\\\\srv\\share\\", {0x55, L"NTFS"}}};
  api.remote_root = L"N:\\";
  api.share = {0x00020000, 2, 0, 0};

  // A folder mount point, matched by serial: the first of two equal serials wins.
  location_summary s = refresh_summary(api, &m, L"D:\\mnt\\data\\");
  EXPECT_EQ(s.selected_volume, &m.volumes[1]);
  EXPECT_EQ(s.host_os, L"Windows 10");
  // A network drive letter is a share even when a scanned volume has its serial.
  s = refresh_summary(api, &m, L"N:\\");
  EXPECT_EQ(s.device, L"Remote network share");
  EXPECT_EQ(s.selected_volume, nullptr);
  s = refresh_summary(api, &m, L"\\\\srv\\share\\");
  EXPECT_EQ(s.volume, L"0000-0055");
  EXPECT_EQ(s.storage_facts.back().value, "SMB 2.0.0");

  const std::string fallback_fat = "Volume.file_system=FAT\nVolume.type=-\n=\nDevice.type=?\n";
  const std::string fallback_empty = "Volume.file_system=\nVolume.type=-\n=\nDevice.type=?\n";
  s = refresh_summary(api, &m, L"E:\\x\\");  // no scanned volume has its serial
  EXPECT_EQ(facts_text(s), fallback_fat);
  EXPECT_EQ(s.file_system, dash);
  EXPECT_EQ(s.host_os, dash);
  EXPECT_EQ(facts_text(refresh_summary(api, &m, L"F:\\")), fallback_empty);        // volume query fails
  EXPECT_EQ(facts_text(refresh_summary(api, &m, L"G:\\gone\\")), fallback_empty);  // no such path
  EXPECT_EQ(facts_text(refresh_summary(api, &m, L"relative")), fallback_empty);
  api.gone = L"D:\\mnt\\data\\";  // its drive's volume is still there, the folder is not
  EXPECT_EQ(facts_text(refresh_summary(api, &m, L"D:\\mnt\\data\\")), fallback_empty);
  EXPECT_EQ(facts_text(refresh_summary(api, nullptr, L"D:\\mnt\\data\\")), fallback_empty);
}

TEST(LocationSummary, RootsFollowTheLetterMask) {
  storage_stack m;
  volume_info c, d, g;
  c.mount_points = {L"c:\\", L"C:\\"};
  d.mount_points = {L"Z:\\", L"D:\\mnt\\data\\", L"\\\\?\\Volume{00000000-0000-0000-0000-000000000000}\\"};
  g.mount_points = {L"E:"};
  m.volumes = {c, d, g};
  const std::vector<std::wstring> roots = location_roots(m);
  EXPECT_EQ(roots, (std::vector<std::wstring>{L"C:\\", L"D:\\", L"Z:\\"}));
}

}  // namespace
