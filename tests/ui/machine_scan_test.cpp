// Whole synthetic machines: the scan on its own thread, the stack it builds, and what the window
// would say about a location on each volume.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_machine.h"
#include "machine_scan.h"
#include "support/text.h"
#include "volume_replies.h"

namespace {

const std::string dash = "\xE2\x80\x93";

volume_setup ram_disk_volume() {
  volume_setup v;
  v.guid = L"{0e9b4f2a-6d1c-4a8e-9f3b-2c5d7e1a0b44}";
  v.device_name = L"\\Device\\0A1B2C3D";
  v.has_interface = false;
  v.mount_points = {L"R:\\"};
  v.length_error = ERROR_INVALID_FUNCTION;
  v.extents = {{0xFFFFFFFF, 0, 0}};
  v.unique_id.assign(64, 0x5A);
  v.stable_guid_error = ERROR_NOT_SUPPORTED;
  v.suggested_link_error = ERROR_NOT_SUPPORTED;
  return v;
}

TEST(MachineScan, RamDiskWithAllFourSigns) {
  fake_machine m;
  add_volume(m, ram_disk_volume());
  const scanned s = scan_machine(m);
  ASSERT_EQ(s.model->volumes.size(), 1u);
  const volume_info& v = s.model->volumes[0];
  EXPECT_TRUE(v.is_ram_disk);
  EXPECT_TRUE(v.extents.empty());
  EXPECT_EQ(v.length, 107373125632ull);  // the caller's total when nothing else tells the size
  EXPECT_NE(s.log.find("2       Dummy extent set, ignored (SoftPerfect RamDisk?)\n"), std::string::npos);
  EXPECT_EQ(stack_dump(s), "2 Storage stack:\n");
  EXPECT_EQ(facts_of(s, 0),
            "Volume.file_system=NTFS\nVolume.file_system.version=0.0\nVolume.file_system.cluster=4096 bytes\n"
            "Volume.type=-\n=\nDevice.type=RAM device\nDevice.vendor=SoftPerfect (?)\nDevice.model=RamDisk (?)\n"
            "Device.controller=" + dash + "\n");
  EXPECT_EQ(m.open_handles(), 0);
}

TEST(MachineScan, ThreeRamDiskSignsAreNotEnough) {
  for (int missing = 0; missing < 4; ++missing) {
    volume_setup spec = ram_disk_volume();
    if (missing == 0) spec.extents = {};
    if (missing == 1) spec.mountdev_name = L"\\Device\\RamDiskVolume";
    if (missing == 2) spec.unique_id.resize(40);
    if (missing == 3) spec.stable_guid_error = 0;
    fake_machine m;
    add_volume(m, spec);
    const scanned s = scan_machine(m);
    ASSERT_EQ(s.model->volumes.size(), 1u);
    EXPECT_FALSE(s.model->volumes[0].is_ram_disk) << missing;
    EXPECT_EQ(facts_of(s, 0).find("Device.type"), std::string::npos) << missing;
  }
}

TEST(MachineScan, BitLockerLockedVolumeStaysWithoutFileSystem) {
  fake_machine m;
  volume_setup spec;
  spec.info_errors = {0x80310000};
  spec.ntfs = false;
  spec.mount_points = {L"E:\\"};
  add_volume(m, spec);
  const scanned s = scan_machine(m);
  ASSERT_EQ(s.model->volumes.size(), 1u);
  const volume_info& v = s.model->volumes[0];
  EXPECT_TRUE(v.is_locked);
  EXPECT_FALSE(v.has_info);
  EXPECT_TRUE(v.file_system.empty());
  EXPECT_NE(s.log.find("0       GetVolumeInformation() failed with 80310000\n"), std::string::npos);
  const location_summary summary = show_local_location(*s.model, 0, L"Windows 10");
  EXPECT_EQ(summary.file_system, L"<unknown>");
  EXPECT_EQ(summary.volume, L"?");
  EXPECT_EQ(facts_of(s, 0), "Volume.file_system=?\nVolume.type=-\n=\nDevice.controller=" + dash + "\n");
}

TEST(MachineScan, VanishingVolumeIsDiscardedAndAReturningOneRetained) {
  fake_machine m;
  volume_setup gone;
  gone.info_errors = {0, ERROR_NOT_READY};
  gone.passes = 1;  // the presence re-check no longer finds it
  add_volume(m, gone);
  volume_setup back;
  back.guid = L"{a1b2c3d4-0000-4000-8000-000000000002}";
  back.device_name = L"\\Device\\HarddiskVolume3";
  back.mount_points = {L"F:\\"};
  back.info_errors = {0, ERROR_NOT_READY, 0};
  add_volume(m, back);
  const scanned s = scan_machine(m);
  ASSERT_EQ(s.model->volumes.size(), 1u);
  EXPECT_EQ(s.model->volumes[0].nt_device_name, L"\\Device\\HarddiskVolume3");
  EXPECT_NE(s.log.find("3       Checking if the volume is still present...\n"
                       "3         No. Volume ignored.\n"
                       "2     Discarded\n"),
            std::string::npos);
  EXPECT_NE(s.log.find("3         Yes. Volume retained.\n"), std::string::npos);
  EXPECT_EQ(m.open_handles(), 0);
}

TEST(MachineScan, TrueCryptVolume) {
  fake_machine m;
  volume_setup spec;
  spec.device_name = L"\\Device\\TrueCryptVolumeT";
  spec.has_interface = false;
  spec.mount_points = {L"T:\\"};
  spec.extents_error = ERROR_INVALID_FUNCTION;
  spec.ntfs_major = 3;
  spec.ntfs_minor = 1;
  add_volume(m, spec);
  const scanned s = scan_machine(m);
  ASSERT_EQ(s.model->volumes.size(), 1u);
  const location_summary summary = show_local_location(*s.model, 0, L"Windows 10");
  EXPECT_EQ(summary.device, L"TrueCrypt container");
  EXPECT_EQ(summary.controller, from_utf8(dash));
  EXPECT_EQ(facts_of(s, 0),
            "Volume.file_system=NTFS\nVolume.file_system.version=3.1\nVolume.file_system.cluster=4096 bytes\n"
            "Volume.type=-\n=\nDevice.type=TrueCrypt mount\nDevice.controller=" + dash + "\n");
}

}  // namespace
