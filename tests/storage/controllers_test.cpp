// The controller phase on its own: how CSMI set drives are paired with phys, what happens to phys
// no set uses, drives no phy leads to, CISS logical drives that are not configured, and replies
// that claim more entries than they hold.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "captured_log.h"
#include "storage/controllers.h"
#include "storage/storage_scan.h"
#include "controller_replies.h"

namespace {
struct controller_scan {
  std::vector<controller_info> controllers;
  std::string log;
};

controller_scan scan(fake_machine& m) {
  controller_scan result;
  captured_log out;
  EXPECT_TRUE(scan_controllers(m, result.controllers, scan_options(), out.log, nullptr));
  result.log = out.text();
  EXPECT_EQ(m.open_handles(), 0);
  return result;
}

fake_adapter csmi_adapter() {
  fake_adapter a;
  a.interface_path = L"\\\\?\\pci#ven_1000&dev_0072#1#{2accfe60-c130-11d2-b082-00a0c91efb8b}";
  a.instance_id = L"PCI\\VEN_1000&DEV_0072\\1";
  a.friendly_name = L"SAS RAID";
  a.has_csmi = true;
  return a;
}

uint32_t control_code(const uint8_t* in, DWORD size) {
  uint32_t code = 0;
  if (size >= 20) std::memcpy(&code, in + 16, 4);
  return code;
}

// Cuts the replies of one CSMI request to `keep` bytes.
void cut_replies(fake_machine& m, const fake_adapter& a, uint32_t code, size_t keep) {
  fake_device& d = adapter_device(m, a);
  auto inner = d.handler;
  d.handler = [inner, code, keep](DWORD ioctl, const uint8_t* in, DWORD size, fake_reply& reply) {
    if (!inner(ioctl, in, size, reply)) return false;
    if (control_code(in, size) == code && reply.bytes.size() > keep) reply.bytes.resize(keep);
    return true;
  };
}

size_t occurrences(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}
}  // namespace

TEST(csmi, set_drives_are_paired_with_phys_by_sas_address) {
  const sas_address phyless{{0x50, 0x00, 0xC5, 0, 0, 0, 0, 9}};
  fake_health silent;  // answers no ATA command
  fake_adapter a = csmi_adapter();
  a.csmi.phys = {sata_phy(0, port_address(0), sata_health("ST1000DM003-1ER162", "Z4Y8B2QK", 1953525168ull, false)),
                 sata_phy(1, port_address(1), silent),  // in no set, no IDENTIFY: dropped
                 sata_phy(2, port_address(2), silent),  // a spare: kept from the set's word
                 sata_phy(3, port_address(3), silent)};  // an optical drive: aborts ATA commands
  a.csmi.phys[3].packet_device = true;
  a.csmi.phyless = {{phyless, sata_health("ST1000DM003-1ER162", "Z4Y8C7XY", 1953525168ull, false)}};
  fake_csmi_set set;
  set.capacity_mb = 953869;
  set.raid_type = 2;
  set.drives = {{"ST1000DM003-1ER162", "CC45", "Z4Y8B2QK", port_address(0), 1},
                {"ST1000DM003-1ER162", "CC45", "Z4Y8B2QK", port_address(0), 1},  // listed twice
                {"ST1000DM003-1ER162", "CC45", "SPARE001", port_address(2), 2},
                {"ST1000DM003-1ER162", "CC45", "FAR", phyless, 1}};
  a.csmi.sets = {set};
  fake_machine m;
  add_adapter(m, a);
  const controller_scan s = scan(m);
  ASSERT_EQ(s.controllers.size(), 1u);
  const controller_info& c = s.controllers[0];
  ASSERT_EQ(c.phys.size(), 3u);
  EXPECT_EQ(c.phys[0].number, 0u);
  EXPECT_TRUE(c.phys[0].has_identify);
  EXPECT_TRUE(c.phys[0].has_smart);
  EXPECT_EQ(c.phys[0].capacity, 1953525168ull * 512);
  EXPECT_EQ(c.phys[1].number, 2u);
  EXPECT_EQ(c.phys[1].serial, "SPARE001");
  EXPECT_EQ(c.phys[2].number, 4u);  // after the four phys
  EXPECT_EQ(c.phys[2].serial, "Z4Y8C7XY");
  ASSERT_EQ(c.raid_volumes.size(), 1u);
  const raid_volume& v = c.raid_volumes[0];
  EXPECT_EQ(v.raid_level, 0x01u);
  EXPECT_EQ(v.capacity, 953869ull << 20);
  EXPECT_EQ(v.drives, (std::vector<uint32_t>{0, 4}));
  EXPECT_EQ(v.spares, (std::vector<uint32_t>{2}));
  for (const char* line : {"2               Bogus entry for already seen phy - IGNORED\n",
                           "2               NO MATCHING PHY DEVICE!\n",
                           "2       Packet device, no ATA IDENTIFY\n",
                           "2     Discarding 0000000000000001 phy as unused and with no IDENTIFY support\n",
                           "2     Discarding 0000000000000003 phy as unused and with no IDENTIFY support\n",
                           "2     Querying PHY-less RAID drives...\n"
                           "2     CSMI_SAS_STP_PASSTHRU / ATA_IDENTIFY, sas 5000c50000000009\n"
                           "2       SrcPort                    255\n",
                           "2       Serial                     [FAR] -> [Z4Y8C7XY]\n",
                           "2         Drives                     0 4 \n"
                           "2         Spares                     2 \n"})
    EXPECT_NE(s.log.find(line), std::string::npos) << line << s.log;
  EXPECT_NE(s.log.find("0       CsmiPassThrough_FisStatus() failed with 20740, 236\n"), std::string::npos);
  // The optical drive's signature spares it the ATA commands.
  EXPECT_NE(s.log.find("CSMI_SAS_STP_PASSTHRU / ATA_IDENTIFY, phy 2 "), std::string::npos);
  EXPECT_EQ(s.log.find("CSMI_SAS_STP_PASSTHRU / ATA_IDENTIFY, phy 3 "), std::string::npos);
  EXPECT_EQ(s.log.find("SMART_HEALTH, phy 3"), std::string::npos);
}

// A phy is asked for IDENTIFY, then the health with its line, then attributes and thresholds.
TEST(csmi, phy_requests_in_order) {
  fake_adapter a = csmi_adapter();
  fake_health h = sata_health("ST1000DM003-1ER162", "Z4Y8B2QK", 1953525168ull, false);
  h.status_high = 0x2C;  // threshold exceeded
  h.status_mid = 0xF4;
  a.csmi.phys = {sata_phy(0, port_address(0), h)};
  fake_machine m;
  add_adapter(m, a);
  const controller_scan s = scan(m);
  std::string steps;  // the phy's request lines and labels, without the dumps
  size_t at = s.log.find("CSMI_SAS_STP_PASSTHRU");
  ASSERT_NE(at, std::string::npos) << s.log;
  for (at = s.log.rfind('\n', at) + 1; at < s.log.size();) {
    const size_t end = s.log.find('\n', at) + 1;
    const std::string line = s.log.substr(at, end - at);
    if (line.find("CSMI_SAS_GET_RAID_INFO") != std::string::npos) break;
    const bool label = line.size() > 2 && line.compare(line.size() - 2, 2, ":\n") == 0;
    if (label || line.find("CSMI_SAS_STP_PASSTHRU") != std::string::npos || line.find(" Health ") != std::string::npos)
      steps += line;
    at = end;
  }
  EXPECT_EQ(steps,
            "2     CSMI_SAS_STP_PASSTHRU / ATA_IDENTIFY, phy 0 / 0000000000000000 \n"
            "2       Raw:\n"
            "2     CSMI_SAS_STP_PASSTHRU / SMART_HEALTH, phy 0\n"
            "2       Health                     3\n"
            "2     CSMI_SAS_STP_PASSTHRU / SMART_ATTRIB, phy 0\n"
            "2     CSMI_SAS_STP_PASSTHRU / SMART_THRESH, phy 0\n"
            "2       Attributes:\n"
            "2       Thresholds:\n");
  ASSERT_EQ(s.controllers.size(), 1u);
  ASSERT_EQ(s.controllers[0].phys.size(), 1u);
  EXPECT_TRUE(s.controllers[0].phys[0].has_smart);
  EXPECT_EQ(s.controllers[0].phys[0].smart.health, 3u);
}

TEST(csmi, counts_are_bounded_by_what_the_reply_holds) {
  fake_adapter a = csmi_adapter();
  a.csmi.phys = {sata_phy(0, port_address(0), fake_health()), sata_phy(1, port_address(1), fake_health())};
  a.csmi.phy_count_claimed = 200;
  fake_csmi_set set;
  set.drives = {{"A", "1", "S1", port_address(0), 1}, {"B", "1", "S2", port_address(1), 1}};
  set.drive_count_claimed = 60;
  a.csmi.sets = {set};
  a.csmi.max_drives_per_set = 0xFFFFFFFF;
  fake_machine m;
  add_adapter(m, a);
  cut_replies(m, a, 20, 28 + 4 + 2 * 64);         // the phy list holds two entries
  cut_replies(m, a, 11, 28 + 36 + 2 * 136 + 100);  // the set holds two drives and a bit
  const controller_scan s = scan(m);
  EXPECT_NE(s.log.find("2       PhyCount                   200\n"), std::string::npos);
  EXPECT_EQ(occurrences(s.log, ". Port                   "), 2u);
  EXPECT_NE(s.log.find("2           DriveCount             60\n"), std::string::npos);
  EXPECT_EQ(occurrences(s.log, ". Model              ["), 2u);
  ASSERT_EQ(s.controllers.size(), 1u);
  EXPECT_EQ(s.controllers[0].raid_volumes.at(0).drives, (std::vector<uint32_t>{0, 1}));
}

TEST(csmi, a_driver_that_says_nothing_is_no_csmi_controller) {
  fake_adapter a = csmi_adapter();
  a.csmi.driver = "";
  a.csmi.description = "";
  a.csmi.version = {{0, 0, 0, 0}};
  fake_machine m;
  add_adapter(m, a);
  // All zeroes but for the CSMI revision the fake writes: clear that too.
  cut_replies(m, a, 1, 28 + 160);
  const controller_scan s = scan(m);
  EXPECT_TRUE(s.controllers.empty());
  EXPECT_NE(s.log.find("2     CSMI_SAS_GET_DRIVER_INFO\n0       NotAllZeroes() failed with 1\n"), std::string::npos)
      << s.log;
  EXPECT_EQ(s.log.find("CSMI_SAS_GET_PHY_INFO"), std::string::npos);
}

TEST(ciss, logical_drives_not_configured_and_drives_without_statistics) {
  fake_adapter a;
  a.interface_path = L"\\\\?\\pci#ven_103c&dev_323b#1#{2accfe60-c130-11d2-b082-00a0c91efb8b}";
  a.instance_id = L"PCI\\VEN_103C&DEV_323B\\1";
  a.device_desc = L"Smart Array";
  a.has_ciss = true;
  fake_ciss_logical unused;
  unused.status = 2;
  fake_ciss_logical used;
  used.label = "Data";
  used.blocks = 1000;
  used.fault_tolerance = 3;
  used.drives = {5, 6, 7};
  used.spares = {9};
  a.ciss.logical = {unused, used};
  for (uint32_t n : {5u, 6u, 7u, 9u}) {
    fake_ciss_physical p;
    p.number = n;
    p.serial = "D" + std::to_string(n);
    a.ciss.physical.push_back(p);
  }
  fake_machine m;
  add_adapter(m, a);
  // Drive 9 gives no statistics.
  fake_device& d = adapter_device(m, a);
  auto inner = d.handler;
  d.handler = [inner](DWORD code, const uint8_t* in, DWORD size, fake_reply& reply) {
    if (!inner(code, in, size, reply)) return false;
    if (size > 28 + 12 + 6 && in[28 + 12 + 6] == 0x78 && in[28 + 12 + 2] == 9) reply.bytes[28 + 30] = 4;
    return true;
  };
  const controller_scan s = scan(m);
  ASSERT_EQ(s.controllers.size(), 1u);
  const controller_info& c = s.controllers[0];
  EXPECT_NE(s.log.find("2     CISS_QUERY_LOGICAL_DRIVE_STATUS / 0\n2       Not configured\n"
                       "2     CISS_QUERY_LOGICAL_DRIVE_STATUS / 1\n"),
            std::string::npos);
  EXPECT_NE(s.log.find("0       CissCommandStatus() failed with 4, 120\n"), std::string::npos);
  ASSERT_EQ(c.raid_volumes.size(), 1u);
  EXPECT_EQ(c.raid_volumes[0].number, 1u);
  EXPECT_EQ(c.raid_volumes[0].raid_level, 0x05u);
  EXPECT_EQ(c.raid_volumes[0].drives, (std::vector<uint32_t>{5, 6, 7}));
  EXPECT_EQ(c.raid_volumes[0].spares, (std::vector<uint32_t>{9}));
  ASSERT_EQ(c.phys.size(), 4u);
  EXPECT_EQ(c.phys[0].oem_attributes.size(), 16u);
  EXPECT_TRUE(c.phys[3].oem_attributes.empty());
}
