// Synthetic machines with RAID controllers, a VDS mirror and USB disks: the stack each scan builds,
// its dump byte for byte, and what the window says about a location on their volumes.
#include <gtest/gtest.h>

#include <string>

#include "machine_scan.h"
#include "synthetic_controllers.h"
#include "support/text.h"

namespace {

const std::string dot = "  \xC2\xB7  ";
const std::string dash = "\xE2\x80\x93";

std::string utf8(const std::wstring& text) { return to_utf8(text); }

const char intel_raid1_dump[] = R"(2 Storage stack:
2  1. Array
2       Description                [Intel Raid 1 Volume]
2       Vendor                     [Intel], org [Intel]
2       Model                      [Raid 1 Volume], org [Raid 1 Volume]
2       Serial                     []
2       Capacity                   2000384163840
2       SSD                        0
2       Bus types                  8 8
2       Info sources               -
2       Mode                       RAID 0x01
2       Drive  1
2         Vendor                   [Seagate]
2         Model                    [ST2000DM008-2FR102], org [ST2000DM008-2FR102]
2         Serial                   [ZFL3K2AB]
2         Capacity                 2000398934016
2         SSD                      0
2         Address                  0000000000000000
2         SMART table
2          1.    1  200   51  000000000000  000f  |  Common           |  Raw read error rate
2          2.    3  180   21  000000001757  0027  |  Common (HDD)     |  Spin-up time
2          3.    4  100    0  00000000019c  0032  |  Common           |  Start/stop count
2          4.    5  200  140  000000000000  0033  |  Common           |  Reallocated sector count
2          5.    9   71    0  0000000053be  0032  |  Common           |  Power-on hours
2          6.   10  100    0  000000000000  0032  |  Common           |  Spin retry count
2          7.   12  100    0  000000000199  0032  |  Common           |  Power cycle count
2          8.  194  113    0  000000000025  0022  |  Common           |  Temperature
2          9.  197  200    0  000000000000  0032  |  Common           |  Unstable sector count
2         10.  199  200    0  000000000000  0032  |  Common           |  CRC error count
2       Drive  2
2         Vendor                   [Seagate]
2         Model                    [ST2000DM008-2FR102], org [ST2000DM008-2FR102]
2         Serial                   [ZFL3K7CD]
2         Capacity                 2000398934016
2         SSD                      0
2         Address                  0000000000000001
2         SMART table
2          1.    1  200   51  000000000000  000f  |  Common           |  Raw read error rate
2          2.    3  180   21  000000001757  0027  |  Common (HDD)     |  Spin-up time
2          3.    4  100    0  00000000019c  0032  |  Common           |  Start/stop count
2          4.    5  200  140  000000000000  0033  |  Common           |  Reallocated sector count
2          5.    9   71    0  000000005025  0032  |  Common           |  Power-on hours
2          6.   10  100    0  000000000000  0032  |  Common           |  Spin retry count
2          7.   12  100    0  000000000199  0032  |  Common           |  Power cycle count
2          8.  194  113    0  000000000025  0022  |  Common           |  Temperature
2          9.  197  200    0  000000000000  0032  |  Common           |  Unstable sector count
2         10.  199  200    0  000000000000  0032  |  Common           |  CRC error count
)";

const char ciss_dump[] = R"(2 Storage stack:
2  1. Array
2       Description                [HP LOGICAL VOLUME]
2       Vendor                     [Hewlett Packard], org [HP]
2       Model                      [LOGICAL VOLUME], org [LOGICAL VOLUME]
2       Serial                     []
2       Capacity                   299966445568
2       SSD                        0
2       Bus types                  8 8
2       Info sources               -
2       Mode                       RAID 0x01
2       Drive  1
2         Vendor                   [Hewlett Packard]
2         Model                    [EG0300FCVBF], org [HP      EG0300FCVBF]
2         Serial                   [PEJ1B7ZA]
2         Capacity                 300000000000
2         SSD                      0
2         Address                  1I:1:1
2         OEM attributes           16 entries
2          1. Predictive failure errors          0
2          2. Drive rebuild count                0
2          3. Reallocated sectors                17
2          4. Spin-up failures                   0
2          5. Hardware errors                    0
2          6. Media failures                     2
2          7. Self-test failures                 0
2          8. Not ready failures                 0
2          9. Aborted command failures           0
2         10. Bus faults                         0
2         11. Read errors, hard                  0
2         12. Read errors, recovered             1432
2         13. Read errors, ECC corrected         98
2         14. Write errors, hard                 0
2         15. Write errors, recovered            12
2         16. Seek errors                        3
2       Drive  2
2         Vendor                   [Hewlett Packard]
2         Model                    [EG0300FCVBF], org [HP      EG0300FCVBF]
2         Serial                   [PEJ1C2QB]
2         Capacity                 300000000000
2         SSD                      0
2         Address                  1I:1:2
2         OEM attributes           16 entries
2          1. Predictive failure errors          0
2          2. Drive rebuild count                1
2          3. Reallocated sectors                4
2          4. Spin-up failures                   0
2          5. Hardware errors                    0
2          6. Media failures                     0
2          7. Self-test failures                 0
2          8. Not ready failures                 0
2          9. Aborted command failures           1
2         10. Bus faults                         0
2         11. Read errors, hard                  0
2         12. Read errors, recovered             877
2         13. Read errors, ECC corrected         41
2         14. Write errors, hard                 0
2         15. Write errors, recovered            6
2         16. Seek errors                        0
)";

const char hba_spare_entry[] = R"(2  3. Drive (inaccessible)
2       Controller                 LSI Adapter, SAS2 2008 Falcon -StorPort
2       Vendor                     [Western Digital]
2       Model                      [WD20EFRX-68EUZN0], org [WDC WD20EFRX-68EUZN0]
2       Serial                     [WD-WCC4M5HJ2E1A]
2       Capacity                   2000398934016
2       SSD                        0
2       Address                    4433221100000003
2       SMART table
2        1.    1  200   51  000000000000  000f  |  Common           |  Raw read error rate
2        2.    3  180   21  000000001757  0027  |  Common (HDD)     |  Spin-up time
2        3.    4  100    0  00000000019c  0032  |  Common           |  Start/stop count
2        4.    5  200  140  000000000000  0033  |  Common           |  Reallocated sector count
2        5.    9   71    0  0000000053be  0032  |  Common           |  Power-on hours
2        6.   10  100    0  000000000000  0032  |  Common           |  Spin retry count
2        7.   12  100    0  000000000199  0032  |  Common           |  Power cycle count
2        8.  194  113    0  000000000025  0022  |  Common           |  Temperature
2        9.  197  200    0  000000000000  0032  |  Common           |  Unstable sector count
2       10.  199  200    0  000000000000  0032  |  Common           |  CRC error count
)";

}  // namespace

TEST(MachineRaid, IntelRaid1NamesTheArrayAndItsMembers) {
  fake_machine m;
  add_intel_raid1(m);
  const scanned s = scan_machine(m);
  ASSERT_EQ(s.model->controllers.size(), 1u);
  EXPECT_EQ(s.model->controllers[0].protocol, controller_protocol::csmi);
  EXPECT_NE(s.log.find("2     RAID volume                  #0\n"
                       "2      1. [ZFL3K2AB]\n"
                       "2      2. [ZFL3K7CD]\n"),
            std::string::npos);
  EXPECT_EQ(stack_dump(s), intel_raid1_dump);
  const location_summary summary = show_local_location(*s.model, 0, L"Windows 10");
  EXPECT_EQ(utf8(summary.device), "Intel" + dot + "Raid 1 Volume");
  const std::string controller = "Intel(R) Desktop/Workstation/Server Express Chipset SATA RAID Controller" + dot +
                                 "RAID 1" + dot + "ST2000DM008-2FR102 + ST2000DM008-2FR102";
  EXPECT_EQ(utf8(summary.controller), controller);
  EXPECT_EQ(facts_of(s, 0),
            "Volume.file_system=NTFS\nVolume.file_system.version=0.0\nVolume.file_system.cluster=4096 bytes\n"
            "Volume.type=-\n=\nDevice.type=RAID\nDevice.vendor=Intel\nDevice.model=Raid 1 Volume\n"
            "Device.bus=8 / 8\nDevice.controller=" + controller + "\n");
  EXPECT_EQ(m.open_handles(), 0);
}

TEST(MachineRaid, CsmiHbaSpareDiskIsAnInaccessibleDrive) {
  fake_machine m;
  add_csmi_hba_with_spare(m);
  const scanned s = scan_machine(m);
  ASSERT_EQ(s.model->stack.size(), 3u);
  EXPECT_EQ(s.model->stack[0].members.size(), 1u);  // each visible disk found on the HBA by its IDENTIFY
  EXPECT_EQ(s.model->stack[1].members.size(), 1u);
  EXPECT_NE(s.log.find("2     Matched to                   0 via IDENTIFY\n"), std::string::npos);
  EXPECT_NE(s.log.find("0       CsmiIoctl() failed with 2\n"), std::string::npos);  // no RAID requests
  const std::string dump = stack_dump(s);
  ASSERT_NE(dump.find("2  3. Drive (inaccessible)"), std::string::npos);
  EXPECT_EQ(dump.substr(dump.find("2  3. Drive (inaccessible)")), hba_spare_entry);
  EXPECT_EQ(m.open_handles(), 0);
}

TEST(MachineRaid, CissLogicalDriveOverTwoBays) {
  fake_machine m;
  add_ciss_logical_drive(m);
  const scanned s = scan_machine(m);
  ASSERT_EQ(s.model->controllers.size(), 1u);
  EXPECT_EQ(s.model->controllers[0].protocol, controller_protocol::ciss);
  EXPECT_EQ(stack_dump(s), ciss_dump);
  const location_summary summary = show_local_location(*s.model, 0, L"Windows 10");
  EXPECT_EQ(utf8(summary.controller),
            "Smart Array P420i Controller" + dot + "RAID 1 [Logical Drive 1]" + dot + "EG0300FCVBF + EG0300FCVBF");
  EXPECT_EQ(m.open_handles(), 0);
}

TEST(MachineRaid, BothInterfacesAnswering) {
  // Equal RAID volume counts: the CISS view is taken.
  fake_machine m;
  add_dual_interface_controller(m);
  scanned s = scan_machine(m);
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
  fake_machine more;
  add_dual_interface_controller(more, 2);
  s = scan_machine(more);
  ASSERT_EQ(s.model->controllers.size(), 1u);
  EXPECT_EQ(s.model->controllers[0].protocol, controller_protocol::csmi);
  EXPECT_EQ(s.model->controllers[0].raid_volumes.size(), 2u);
}

TEST(MachineRaid, MirrorSeenOnlyThroughVds) {
  fake_machine m;
  add_vds_mirror(m);
  const scanned s = scan_machine(m);
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
  EXPECT_EQ(m.vds.live_objects(), 0);
  EXPECT_EQ(m.open_handles(), 0);
}

TEST(MachineRaid, UsbDiskSpeedOnEachPortAndSystem) {
  fake_usb_port no_vendor;  // a device whose descriptor has no vendor, not running at SuperSpeed
  no_vendor.vendor = 0;
  no_vendor.flags = 2;  // SuperSpeed capable
  const struct {
    int os_index;
    fake_usb_port port;
    uint32_t supported, capable, speed;
    std::string label;
  } variants[] = {
      {12, fake_usb_port(), 14, 8, 8, "USB 3.0"},  // Windows 10, USB 3.0 port
      {12, usb2_port(), 14, 8, 4, "USB 2.0"},      // Windows 10, USB 2.0 port
      {7, fake_usb_port(), 0, 0, 8, "USB 3.0"},    // Windows 7: the connection query alone
      {12, no_vendor, 14, 8, 0, dash},
  };
  for (const auto& t : variants) {
    fake_machine m;
    m.os_index = t.os_index;
    add_usb3_disk(m, t.port);
    const scanned s = scan_machine(m);
    ASSERT_EQ(s.model->drives.size(), 1u);
    const drive_info& d = s.model->drives[0];
    const std::string name = t.label + " on Windows index " + std::to_string(t.os_index);
    EXPECT_EQ(d.usb_supported, t.supported) << name;
    EXPECT_EQ(d.usb_capable, t.capable) << name;
    EXPECT_EQ(d.usb_speed, t.speed) << name;
    const location_summary summary = show_local_location(*s.model, 0, L"Windows 10");
    const std::string device = "ASMT / Toshiba" + dot + "MQ01ABD100";
    EXPECT_EQ(utf8(summary.device), t.speed ? device + dot + t.label : device) << name;
    EXPECT_NE(facts_of(s, 0).find("Device.usb=" + t.label + "\n"), std::string::npos) << name;
    EXPECT_EQ(utf8(summary.controller), "Intel(R) USB 3.0 eXtensible Host Controller - 1.0 (Microsoft)");
    EXPECT_EQ(m.open_handles(), 0);
  }
}
