// The drive query over drives whose replies vary per case; the recorded machines hold the rest.
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
// The thread's error the query left goes to last_error when given.
drive_info query_alone(const synthetic_drive& s, captured_log& log, bool strict = true, DWORD* last_error = nullptr) {
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
  if (last_error) *last_error = m.last_error_set;
  return drives[0];
}

// A block's hex dump as the query writes it, two deeper than its request line.
std::string dump_of(const ata_block& block) {
  captured_log dump;
  dump.log->indent(2);
  hex_dump(dump.log, block.data(), block.size());
  dump.log->unindent(2);
  return dump.text();
}

std::vector<attribute_fields> with_ids(const std::vector<uint8_t>& ids) {
  std::vector<attribute_fields> a;
  for (uint8_t id : ids) a.push_back({id, 0x0032, 100, 100, id});
  return a;
}

}  // namespace

TEST(drive_health, return_status_registers_give_the_health_on_every_path) {
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

TEST(drive_health, identify_checksum_counts_only_behind_its_signature) {
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

TEST(drive_health, identify_strings_must_be_printable_ascii) {
  for (const std::string& bad : {std::string("WDC WD10EZEX\x1B"), std::string("WDC WD10EZEX\xE9")}) {
    synthetic_drive s = wd_hdd(0);
    s.health.identify = identify_block({bad, "WD-WCC6Y3KV1234", "01.01A01", 1953525168ull, 7200, false, true});
    captured_log log;
    EXPECT_EQ(query_alone(s, log).identify_source, 0u);
    const std::string code = std::to_string(unsigned(uint8_t(bad.back())));
    EXPECT_NE(
        log.text().find("0   CheckAtaStrings() failed with ffffffff, " + code + "\n" + dump_of(s.health.identify)),
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

TEST(drive_health, strict_checksums_refuse_a_bad_smart_block) {
  captured_log log;
  EXPECT_EQ(query_alone(bad_checksum_hdd(0), log).smart_source, 0u);
  EXPECT_EQ(log.text().find("Still using it"), std::string::npos);
}

TEST(drive_health, the_drivers_status_code_becomes_the_threads_error) {
  synthetic_drive s = wd_hdd(0);
  s.health.has_smart = false;  // the drive aborts the SMART commands
  captured_log log;
  DWORD last_error = 0;
  query_alone(s, log, true, &last_error);
  EXPECT_EQ(last_error, 267387140u);
}
