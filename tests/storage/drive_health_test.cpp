// The drive health where a case needs what the recorded machines' logs do not show: the strict
// checksum rule (their scans forgive) and the thread's error. The logs hold the rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "captured_log.h"
#include "forwarding_api.h"
#include "golden.h"
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

}  // namespace

// Each "IDS => the line logged" row of tests/data/storage/smart_plausible.txt.
TEST(smart_plausible, each_rule_logs_its_line) {
  expect_table("storage/smart_plausible.txt", [](const std::string& ids) {
    std::vector<attribute_fields> a;
    for (const std::string& id : words(ids)) a.push_back({uint8_t(std::stoul(id)), 0x0032, 100, 100, std::stoul(id)});
    captured_log log;
    const bool plausible = smart_plausible(attributes_block(a), log.log);
    return std::string(plausible ? "plausible" : "refused") + " | " + log.text().substr(0, log.text().size() - 1);
  });
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
