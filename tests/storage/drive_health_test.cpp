// IDENTIFY, SMART, failure prediction and NVMe through the drive query, over synthetic drives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "captured_log.h"
#include "storage/ata_blocks.h"
#include "storage/ata_requests.h"
#include "storage/drives.h"
#include "support/hex_dump.h"
#include "synthetic_drives.h"

namespace {

// A synthetic drive alone on a machine of its own, enumerated and queried; every handle closed.
drive_info query_alone(const synthetic_drive& s, captured_log& log, bool strict = true) {
  fake_machine m;
  add_synthetic(m, s);
  std::vector<drive_info> drives;
  enumerate_drives(m, drives, log.log);
  EXPECT_EQ(drives.size(), 1u);
  if (drives.empty()) return drive_info{};
  scan_options options;
  options.strict_checksums = strict;
  query_drive(m, drives[0], options, log.log);
  EXPECT_EQ(m.open_handles(), 0);
  return drives[0];
}

class drive_health : public ::testing::Test {
 protected:
  fake_machine machine;
  captured_log out;
  std::vector<drive_info> found;

  void TearDown() override { EXPECT_EQ(machine.open_handles(), 0); }

  drive_info& scan(const synthetic_drive& d, bool strict = true) {
    add_synthetic(machine, d);
    enumerate_drives(machine, found, out.log);
    EXPECT_EQ(found.size(), 1u);
    if (found.empty()) found.emplace_back();
    scan_options options;
    options.strict_checksums = strict;
    query_drive(machine, found[0], options, out.log);
    return found[0];
  }
  size_t count(const std::string& line) {
    size_t n = 0;
    for (const std::string& l : out.target->lines()) n += l == line;
    return n;
  }
  // The lines from `first` up to the next request line of the ATA steps.
  std::string section(const std::string& first) {
    const std::vector<std::string> lines = out.target->lines();
    std::string text;
    bool in = false;
    for (const std::string& l : lines) {
      if (in && l.compare(0, 2, "2 ") == 0 && l[2] != ' ') break;
      if (l == first) in = true;
      if (in) text += l;
    }
    return text;
  }
};

// A block's hex dump as the query writes it, two deeper than its request line.
std::string dump_of(const ata_block& block) {
  captured_log dump;
  dump.log->indent(2);
  hex_dump(dump.log, block.data(), block.size());
  dump.log->unindent(2);
  return dump.text();
}

ata_block flipped(ata_block block, size_t at) {
  block[at] ^= 0x01;
  return block;
}

std::vector<attribute_fields> with_ids(const std::vector<uint8_t>& ids) {
  std::vector<attribute_fields> a;
  for (uint8_t id : ids) a.push_back({id, 0x0032, 100, 100, id});
  return a;
}

}  // namespace

TEST_F(drive_health, four_paths_deliver_the_same_blocks) {
  const synthetic_drive s = seagate_hdd(0);
  drive_info& d = scan(s);
  EXPECT_EQ(d.identify_source, 0x0Fu);
  EXPECT_EQ(d.smart_source, 0x0Fu);
  EXPECT_EQ(source_mask_text(d.smart_source), "ATA ATA/PT SCSI/PT SCSI/PT-DT");
  EXPECT_EQ(count("2   OK, the same\n"), 6u);  // three for IDENTIFY, three for SMART
  EXPECT_EQ(count("2   Raw:\n"), 1u);
  EXPECT_TRUE(d.identify == s.health.identify);
  EXPECT_TRUE(d.smart.attributes == s.health.attributes);
  EXPECT_TRUE(d.smart.thresholds == s.health.thresholds);
  EXPECT_EQ(d.smart.health, 1u);
  EXPECT_EQ(d.prediction, 1u);
  EXPECT_TRUE(d.has_health_raw);
  EXPECT_EQ(d.product_org, "ST2000DM008-2FR102");
  EXPECT_EQ(section("2 SMART_RCV_DRIVE_DATA / SMART_GET_PREDICTION\n"),
            "2 SMART_RCV_DRIVE_DATA / SMART_GET_PREDICTION\n"
            "2   Attributes:\n" + dump_of(s.health.attributes) +
            "2   Thresholds:\n" + dump_of(s.health.thresholds) +
            "2   Health                     1\n");
}

TEST_F(drive_health, a_flipped_byte_is_dumped_and_its_path_not_believed) {
  synthetic_drive s = seagate_hdd(0);
  const ata_block bad_identify = flipped(s.health.identify, 60);
  const ata_block bad_attributes = flipped(s.health.attributes, 20);
  s.health.identify_on_path[2] = bad_identify;
  s.health.attributes_on_path[1] = bad_attributes;
  drive_info& d = scan(s);
  EXPECT_EQ(section("2 IOCTL_SCSI_PASS_THROUGH / ATA_IDENTIFY\n"),
            "2 IOCTL_SCSI_PASS_THROUGH / ATA_IDENTIFY\n0   VerifyChecksum() failed with 255\n" + dump_of(bad_identify));
  EXPECT_EQ(section("2 IOCTL_ATA_PASS_THROUGH / SMART_GET_ATTRIBUTES\n"),
            "2 IOCTL_ATA_PASS_THROUGH / SMART_GET_ATTRIBUTES\n0   VerifyChecksum() failed with 1\n" +
                dump_of(bad_attributes));
  EXPECT_EQ(d.identify_source, 0x0Bu);
  EXPECT_EQ(d.smart_source, 0x0Du);
  EXPECT_TRUE(d.identify == s.health.identify);
  EXPECT_TRUE(d.smart.attributes == s.health.attributes);
  EXPECT_EQ(count("2   OK, the same\n"), 4u);
}

TEST_F(drive_health, a_bad_smart_checksum_is_forgiven_only_when_not_strict) {
  drive_info& lenient = scan(bad_checksum_hdd(0), false);
  EXPECT_EQ(lenient.smart_source, 0x0Fu);
  EXPECT_EQ(count("2   Still using it...\n"), 4u);
  EXPECT_EQ(count("0   VerifyChecksum() failed with 198\n"), 4u);

  captured_log strict_log;
  EXPECT_EQ(query_alone(bad_checksum_hdd(0), strict_log).smart_source, 0u);
  EXPECT_EQ(strict_log.text().find("Still using it"), std::string::npos);
}

TEST_F(drive_health, return_status_registers_give_the_health_on_every_path) {
  const struct {
    uint8_t high, mid;
    uint32_t health;
  } cases[] = {{0xC2, 0x4F, 1}, {0x2C, 0xF4, 3}, {0x12, 0x34, 0}};
  for (int path = 0; path < 4; ++path) {
    for (const auto& c : cases) {
      for (sense_style style : {sense_style::descriptor, sense_style::fixed}) {
        synthetic_drive s = wd_hdd(0);
        s.health.paths = {{path == 0, path == 1, path == 2, path == 3}};
        s.health.status_high = c.high;
        s.health.status_mid = c.mid;
        s.health.sense = style;
        captured_log log;
        const drive_info d = query_alone(s, log);
        SCOPED_TRACE("path " + std::to_string(path) + " registers " + std::to_string(c.high));
        EXPECT_EQ(d.smart_source, 1u << path);
        EXPECT_EQ(d.smart.health, c.health);
        const bool odd = c.health == 0;
        EXPECT_EQ(log.text().find("0   CheckSmartHealth() failed with 4660\n") != std::string::npos, odd);
      }
    }
  }
}

TEST_F(drive_health, a_bridge_that_returns_no_registers_leaves_the_health_unknown) {
  drive_info& d = scan(usb_bridge_hdd(0));
  EXPECT_EQ(d.identify_source, 0x0Cu);
  EXPECT_EQ(d.smart_source, 0x0Cu);
  EXPECT_EQ(d.smart.health, 0u);
  EXPECT_EQ(count("0   CheckSmartHealth() failed with ffffffff, no ATA registers returned\n"), 2u);
  EXPECT_EQ(count("0   DeviceIoControl() failed with 50, 0 315436 236\n"), 1u);
}

TEST_F(drive_health, commands_the_drive_aborts_are_reported_by_each_path) {
  synthetic_drive s = wd_hdd(0);
  s.health.has_smart = false;  // SMART disabled: the drive aborts its commands
  drive_info& d = scan(s);
  EXPECT_EQ(d.identify_source, 0x0Fu);
  EXPECT_EQ(d.smart_source, 0u);
  EXPECT_EQ(count("0   CheckDriverStatus() failed with 267387140, 16 508040 176\n"), 1u);
  EXPECT_EQ(machine.last_error_set, 267387140u);  // the driver's code is also the thread's error
  EXPECT_EQ(count("0   AtaPassThrough() failed with 81, " + std::to_string(sizeof(ata_pass_through_request)) +
                  " 315436 176\n"),
            1u);
  EXPECT_EQ(count("0   CheckScsiStatus() failed with 2, 176\n"), 2u) << out.text();
}

TEST_F(drive_health, replies_must_have_the_size_of_their_command) {
  // The drive answers, but a shim cuts the data replies of the first two paths short.
  synthetic_drive s = wd_hdd(0);
  add_synthetic(machine, s);
  fake_device& device = disk_device(machine, s.disk);
  auto answer = device.handler;
  device.handler = [answer](DWORD code, const uint8_t* in, DWORD size, fake_reply& reply) {
    if (!answer(code, in, size, reply)) return false;
    if ((code == ioctl_smart_rcv_drive_data || code == ioctl_ata_pass_through) && reply.bytes.size() > 500)
      reply.bytes.resize(reply.bytes.size() - 8);
    return true;
  };
  enumerate_drives(machine, found, out.log);
  query_drive(machine, found.at(0), scan_options{}, out.log);
  const std::string apt = std::to_string(sizeof(ata_pass_through_request));
  const std::string apt_short = std::to_string(sizeof(ata_pass_through_request) - 8);
  // IDENTIFY and SMART READ DATA fail on each; the later SMART commands are not sent.
  EXPECT_EQ(count("0   CheckResponseSize() failed with ffffffff, 520 528 528\n"), 2u);
  EXPECT_EQ(count("0   CheckResponseSize() failed with ffffffff, " + apt_short + " " + apt + " " + apt + "\n"), 2u);
  EXPECT_EQ(found[0].identify_source, 0x0Cu);
  EXPECT_EQ(found[0].smart_source, 0x0Cu);
}

TEST_F(drive_health, identify_checksum_counts_only_behind_its_signature) {
  // Without the signature in byte 510 the last byte means nothing: a device that fills word 255
  // with zeroes, one that leaves it as the query preset it, one that puts anything there.
  for (uint8_t last : {0x00, 0xFF, 0x37}) {
    synthetic_drive unsigned_drive = wd_hdd(0);
    identify_fields f{"WDC WD10EZEX-08WN4A0", "WD-WCC6Y3KV1234", "01.01A01", 1953525168ull, 7200, false, false};
    unsigned_drive.health.identify = identify_block(f);
    ASSERT_EQ(unsigned_drive.health.identify[510], 0);
    unsigned_drive.health.identify[511] = last;
    captured_log log;
    EXPECT_EQ(query_alone(unsigned_drive, log).identify_source, 0x0Fu) << unsigned(last);
    EXPECT_EQ(log.text().find("VerifyChecksum"), std::string::npos);
  }

  synthetic_drive unwritten = wd_hdd(0);
  unwritten.health.identify[511] = 0xFF;  // signed, but the checksum byte left as preset
  captured_log log;
  EXPECT_EQ(query_alone(unwritten, log).identify_source, 0u);
  const std::string failure = "2 SMART_RCV_DRIVE_DATA / ATA_IDENTIFY\n0   VerifyChecksum() failed with ";
  EXPECT_NE(log.text().find(failure), std::string::npos);
  EXPECT_NE(log.text().find(dump_of(unwritten.health.identify)), std::string::npos);
}

TEST_F(drive_health, identify_strings_must_be_printable_ascii) {
  for (const std::string& bad : {std::string("WDC WD10EZEX\x1B"), std::string("WDC WD10EZEX\xE9")}) {
    synthetic_drive s = wd_hdd(0);
    s.health.identify = identify_block({bad, "WD-WCC6Y3KV1234", "01.01A01", 1953525168ull, 7200, false, true});
    captured_log log;
    EXPECT_EQ(query_alone(s, log).identify_source, 0u);
    const std::string code = std::to_string(unsigned(uint8_t(bad.back())));
    EXPECT_NE(log.text().find("0   CheckAtaStrings() failed with ffffffff, " + code + "\n" +
                              dump_of(s.health.identify)),
              std::string::npos);
  }
}

TEST(smart_plausible, each_rule_logs_its_line) {
  const struct {
    std::vector<uint8_t> ids;
    const char* line;  // empty: passes
  } cases[] = {
      {{1, 5, 9, 12, 194, 197, 198}, "2   Too few attributes - 7\n"},
      {{1, 3, 4, 5, 12, 194, 197, 198}, "2   Entry 9 is not present\n"},
      {{1, 5, 9, 12, 194, 197, 198, 255}, "2   Entry 255 is present\n"},
      {{1, 5, 9, 12, 5, 194, 197, 198}, "2   Attribute 5 is duplicated\n"},
      {{1, 5, 9, 12, 20, 30, 197, 198}, "2   2 entries from 17-159 range are present\n"},
      {{1, 5, 9, 12, 20, 99, 100, 101}, ""},
  };
  for (const auto& c : cases) {
    captured_log log;
    const bool plausible = smart_plausible(attributes_block(with_ids(c.ids)), log.log);
    EXPECT_EQ(plausible, *c.line == 0);
    EXPECT_EQ(log.text(), c.line);
  }
}

TEST_F(drive_health, failure_prediction_keeps_only_attribute_sets_with_values) {
  synthetic_drive s = silent_drive(0);
  std::vector<attribute_fields> a = with_ids({1, 5, 9, 12, 194, 197, 198, 199});
  for (attribute_fields& e : a) e.raw = 0;
  s.health.predict_failure = 1;
  s.health.predict_vendor = attributes_block(a);
  drive_info& d = scan(s);
  EXPECT_EQ(d.prediction, 3u);
  EXPECT_FALSE(d.has_health_raw);
  const std::string head = "2 IOCTL_STORAGE_PREDICT_FAILURE\n2   PredictFailure             1\n2   VendorSpecific:\n" +
                           dump_of(s.health.predict_vendor) + "2   Checking vendor-specific data...\n";
  EXPECT_EQ(section("2 IOCTL_STORAGE_PREDICT_FAILURE\n").substr(0, head.size()), head);
  EXPECT_EQ(count("2   Checksum is OK\n"), 1u);
  EXPECT_EQ(count("2   All raw values are null\n"), 1u);
  EXPECT_EQ(d.identify_source, 0u);
  EXPECT_EQ(d.smart_source, 0u);
}

TEST_F(drive_health, nvme_blocks_through_the_miniport) {
  synthetic_drive s = nvme_ssd(0);
  s.health.nvme_protocol = false;
  s.health.nvme_miniport = true;
  drive_info& d = scan(s);
  EXPECT_TRUE(d.has_nvme_identify);
  EXPECT_TRUE(d.has_nvme_log);
  EXPECT_TRUE(d.nvme_identify == s.health.nvme_identify);
  EXPECT_TRUE(d.nvme_log == s.health.nvme_log);
  EXPECT_EQ(d.product_org, "Samsung SSD 970 EVO Plus 1TB");
  EXPECT_EQ(machine.opens.back(), L"\\\\.\\Scsi2:|3221225472");
  EXPECT_EQ(count("2 --- NVMe ---\n"), 1u);
  EXPECT_EQ(count("2 IOCTL_STORAGE_QUERY_PROPERTY / NVMe health log\n"), 0u);
  EXPECT_EQ(count("2   Identify block:\n"), 1u);
  EXPECT_EQ(count("2   Log page / SMART:\n"), 1u);
}

// Windows' own NVMe driver opens the SCSI port but refuses the miniport pass-through: the blocks
// come from the storage protocol query on the disk.
TEST_F(drive_health, nvme_inbox_driver_answers_only_the_protocol_query) {
  synthetic_drive s = nvme_ssd(0);
  ASSERT_FALSE(s.health.nvme_miniport);
  drive_info& d = scan(s);
  EXPECT_NE(out.text().find("2 --- NVMe ---\n"
                            "2 IOCTL_SCSI_MINIPORT / NVME_IDENTIFY\n"
                            "0   DeviceIoControl() failed with 1\n"
                            "2 IOCTL_SCSI_MINIPORT / NVME_GET_LOG_PAGE\n"
                            "0   DeviceIoControl() failed with 1\n"
                            "2 IOCTL_STORAGE_QUERY_PROPERTY / NVMe identify controller\n"
                            "2 IOCTL_STORAGE_QUERY_PROPERTY / NVMe health log\n"
                            "2   Identify block:\n"),
            std::string::npos)
      << out.text();
  EXPECT_TRUE(d.has_nvme_identify);
  EXPECT_TRUE(d.has_nvme_log);
  EXPECT_TRUE(d.nvme_identify == s.health.nvme_identify);
  EXPECT_TRUE(d.nvme_log == s.health.nvme_log);
}

TEST_F(drive_health, nvme_port_refused_falls_back_to_the_protocol_query) {
  synthetic_drive s = nvme_ssd(0);
  s.health.nvme_miniport = true;
  add_synthetic(machine, s);
  machine.devices[scsi_port_path(s.disk)].accepted_access = {FILE_EXECUTE};
  enumerate_drives(machine, found, out.log);
  query_drive(machine, found.at(0), scan_options{}, out.log);
  EXPECT_NE(out.text().find("2 --- NVMe ---\n"
                            "0   CreateFile() failed with 5, read | write\n"
                            "0   CreateFile() failed with 5, read\n"
                            "0   CreateFile() failed with 5, read_attributes\n"
                            "0   CreateFile() failed with 5, null\n"
                            "2 IOCTL_STORAGE_QUERY_PROPERTY / NVMe identify controller\n"
                            "2 IOCTL_STORAGE_QUERY_PROPERTY / NVMe health log\n"
                            "2   Identify block:\n"),
            std::string::npos);
  EXPECT_TRUE(found[0].has_nvme_identify);
  EXPECT_TRUE(found[0].has_nvme_log);
}

TEST_F(drive_health, nvme_without_scsi_address_says_so) {
  synthetic_drive s = nvme_ssd(0);
  s.disk.scsi_address = false;
  s.health.nvme_protocol = false;
  drive_info& d = scan(s);
  EXPECT_EQ(count("2 * Looks like an NVMe device, but has no SCSI address\n"), 1u);
  EXPECT_EQ(count("2 --- NVMe ---\n"), 0u);
  EXPECT_FALSE(d.has_nvme_identify);
  EXPECT_FALSE(d.has_nvme_log);
}

TEST_F(drive_health, a_drive_that_answers_nothing_keeps_no_blocks) {
  drive_info& d = scan(silent_drive(0));
  EXPECT_EQ(d.identify_source, 0u);
  EXPECT_EQ(d.smart_source, 0u);
  EXPECT_EQ(d.prediction, 0u);
  EXPECT_FALSE(d.has_health_raw);
  EXPECT_FALSE(d.has_nvme_identify);
  EXPECT_EQ(count("0   DeviceIoControl() failed with 1, 0 508040 236\n"), 1u);
  EXPECT_EQ(d.product_org, "Virtual Disk");
}
