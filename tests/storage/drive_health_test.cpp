// The drive health where a case needs what the recorded machines' logs do not show: the strict
// checksum rule (their scans forgive) and the thread's error. The logs hold the rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "captured_log.h"
#include "forwarding_api.h"
#include "health_blocks.h"
#include "machine_scan.h"
#include "recorded_machine.h"
#include "storage/ata_blocks.h"
#include "storage/scan_replay.h"

namespace {

// Every thread error the scan sets.
class error_watch final : public forwarding_api {
 public:
  using forwarding_api::forwarding_api;
  void set_last_error(DWORD code) override { set.push_back(code); }
  std::vector<DWORD> set;
};

std::vector<attribute_fields> with_ids(const std::vector<uint8_t>& ids) {
  std::vector<attribute_fields> a;
  for (uint8_t id : ids) a.push_back({id, 0x0032, 100, 100, id});
  return a;
}

}  // namespace

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
  ONLY_WITH_32_BIT_RECORDINGS();
  scan_replay m(recorded_machine("bad_smart_checksum"));
  const scanned s = scan_machine(m, m, true);
  ASSERT_EQ(s.model->drives.size(), 1u);
  EXPECT_EQ(s.model->drives[0].smart_source, 0u);
  EXPECT_EQ(s.log.find("Still using it"), std::string::npos);
  EXPECT_NE(scan_recorded("bad_smart_checksum").log.find("Still using it"), std::string::npos);
}

// The drive aborts the SMART commands.
TEST(drive_health, the_drivers_status_code_becomes_the_threads_error) {
  ONLY_WITH_32_BIT_RECORDINGS();
  scan_replay m(recorded_machine("smart_commands_aborted"));
  error_watch watch(m);
  scan_machine(watch, m);
  EXPECT_NE(std::find(watch.set.begin(), watch.set.end(), 267387140u), watch.set.end());
}
