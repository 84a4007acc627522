// Recorded machines with RAID controllers, a VDS mirror and USB disks: the stack each scan builds
// (its dump is held by the recording's log) and what the window says about a location on their
// volumes.
#include <gtest/gtest.h>

#include <string>

#include "machine_scan.h"
#include "recorded_machine.h"
#include "support/text.h"

namespace {

const std::string dot = "  \xC2\xB7  ";
const std::string dash = "\xE2\x80\x93";

std::string utf8(const std::wstring& text) { return to_utf8(text); }

}  // namespace

TEST(MachineRaid, IntelRaid1NamesTheArrayAndItsMembers) {
  const scanned s = scan_recorded("csmi_raid1");
  ASSERT_EQ(s.model->controllers.size(), 1u);
  EXPECT_EQ(s.model->controllers[0].protocol, controller_protocol::csmi);
  EXPECT_NE(s.log.find("2     RAID volume                  #0\n"
                       "2      1. [ZFL3K2AB]\n"
                       "2      2. [ZFL3K7CD]\n"),
            std::string::npos);
  const location_summary summary = show_local_location(*s.model, 0, L"Windows 10");
  EXPECT_EQ(utf8(summary.device), "Intel" + dot + "Raid 1 Volume");
  const std::string controller = "Intel(R) Desktop/Workstation/Server Express Chipset SATA RAID Controller" + dot +
                                 "RAID 1" + dot + "ST2000DM008-2FR102 + ST2000DM008-2FR102";
  EXPECT_EQ(utf8(summary.controller), controller);
  EXPECT_EQ(facts_of(s, 0),
            "Volume.file_system=NTFS\nVolume.file_system.version=0.0\nVolume.file_system.cluster=4096 bytes\n"
            "Volume.type=-\n=\nDevice.type=RAID\nDevice.vendor=Intel\nDevice.model=Raid 1 Volume\n"
            "Device.bus=8 / 8\nDevice.controller=" + controller + "\n");
}

TEST(MachineRaid, CsmiHbaSpareDiskIsAnInaccessibleDrive) {
  const scanned s = scan_recorded("csmi_hba_spare");
  ASSERT_EQ(s.model->stack.size(), 3u);
  EXPECT_EQ(s.model->stack[0].members.size(), 1u);  // each visible disk found on the HBA by its IDENTIFY
  EXPECT_EQ(s.model->stack[1].members.size(), 1u);
  EXPECT_NE(s.log.find("2     Matched to                   0 via IDENTIFY\n"), std::string::npos);
  EXPECT_NE(s.log.find("0       CsmiIoctl() failed with 2\n"), std::string::npos);  // no RAID requests
  EXPECT_NE(stack_dump(s).find("2  3. Drive (inaccessible)"), std::string::npos);
}

TEST(MachineRaid, CissLogicalDriveOverTwoBays) {
  const scanned s = scan_recorded("ciss_logical_drive");
  ASSERT_EQ(s.model->controllers.size(), 1u);
  EXPECT_EQ(s.model->controllers[0].protocol, controller_protocol::ciss);
  const location_summary summary = show_local_location(*s.model, 0, L"Windows 10");
  EXPECT_EQ(utf8(summary.controller),
            "Smart Array P420i Controller" + dot + "RAID 1 [Logical Drive 1]" + dot + "EG0300FCVBF + EG0300FCVBF");
}

TEST(MachineRaid, BothInterfacesAnswering) {
  // Equal RAID volume counts: the CISS view is taken.
  scanned s = scan_recorded("dual_interface_controller");
  ASSERT_EQ(s.model->controllers.size(), 1u);
  const controller_info& c = s.model->controllers[0];
  EXPECT_EQ(c.protocol, controller_protocol::ciss);
  EXPECT_EQ(c.phys.at(0).address, "0I:1:0");
  size_t summaries = 0;
  for (size_t at = s.log.find("--- Controller summary ---"); at != std::string::npos;
       at = s.log.find("--- Controller summary ---", at + 1))
    ++summaries;
  EXPECT_EQ(summaries, 2u);
  ASSERT_EQ(s.model->stack.size(), 1u);
  EXPECT_EQ(s.model->stack[0].raid, &c.raid_volumes[0]);
  EXPECT_EQ(s.model->stack[0].members.size(), 2u);

  // More volumes through CSMI: the CSMI view is taken.
  s = scan_recorded("dual_interface_csmi_ahead");
  ASSERT_EQ(s.model->controllers.size(), 1u);
  EXPECT_EQ(s.model->controllers[0].protocol, controller_protocol::csmi);
  EXPECT_EQ(s.model->controllers[0].raid_volumes.size(), 2u);
}

TEST(MachineRaid, MirrorSeenOnlyThroughVds) {
  const scanned s = scan_recorded("vds_mirror");
  ASSERT_EQ(s.model->volumes.size(), 1u);
  const volume_info& v = s.model->volumes[0];
  EXPECT_TRUE(v.vds_matched);
  EXPECT_EQ(v.vds_volume_type, 13u);
  ASSERT_EQ(v.extents.size(), 2u);
  EXPECT_NE(s.log.find("2 Matching volumes to VDS info...\n"
                       "2 Volume 0 matched to VDS item 0\n"
                       "2   Matching volume extents...\n"
                       "2     VDS extent 0 - matched to extent 0\n"
                       "2     VDS extent 1 - matched to extent 1\n"),
            std::string::npos);
  const location_summary summary = show_local_location(*s.model, 0, L"Windows 10");
  EXPECT_EQ(utf8(summary.volume), "Mirrored / RAID 1" + dot + "1A2B-3C4D");
  EXPECT_EQ(utf8(summary.device), "Seagate" + dot + "ST2000DM008-2FR102");  // the lower disk number
  EXPECT_NE(facts_of(s, 0).find("Volume.type=Mirrored / RAID 1\n"), std::string::npos);
}

TEST(MachineRaid, UsbDiskSpeedOnEachPortAndSystem) {
  scan_recording windows_7 = recorded_machine("usb3_windows10");
  set_os_index(windows_7, 7);  // the connection query alone
  const struct {
    const char* machine;
    scan_recording recording;
    uint32_t supported, capable, speed;
    std::string label;
  } variants[] = {
      {"usb3_windows10", recorded_machine("usb3_windows10"), 14, 8, 8, "USB 3.0"},
      {"usb2_port", recorded_machine("usb2_port"), 0, 0, 4, "USB 2.0"},  // recorded on Windows 8
      {"usb3 on Windows 7", windows_7, 0, 0, 8, "USB 3.0"},
      {"usb_no_vendor", recorded_machine("usb_no_vendor"), 14, 8, 0, dash},  // SuperSpeed capable, not at it
  };
  for (const auto& t : variants) {
    const scanned s = scan_recorded(t.recording, t.machine);
    ASSERT_EQ(s.model->drives.size(), 1u);
    const drive_info& d = s.model->drives[0];
    EXPECT_EQ(d.usb_supported, t.supported) << t.machine;
    EXPECT_EQ(d.usb_capable, t.capable) << t.machine;
    EXPECT_EQ(d.usb_speed, t.speed) << t.machine;
    const location_summary summary = show_local_location(*s.model, 0, L"Windows 10");
    const std::string device = "ASMT / Toshiba" + dot + "MQ01ABD100";
    EXPECT_EQ(utf8(summary.device), t.speed ? device + dot + t.label : device) << t.machine;
    EXPECT_NE(facts_of(s, 0).find("Device.usb=" + t.label + "\n"), std::string::npos) << t.machine;
    EXPECT_EQ(utf8(summary.controller), "Intel(R) USB 3.0 eXtensible Host Controller - 1.0 (Microsoft)");
  }
}
