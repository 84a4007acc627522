// Attribute names, groups and values for real drive families, and the two health tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "captured_log.h"
#include "golden.h"
#include "health_blocks.h"
#include "support/format_string.h"
#include "storage/smart_table.h"

namespace {
// "VENDOR | MODEL | SSD|HDD | ID FLAGS VALUE WORST RAW, ... | ID:THRESHOLD ...": the rows of that
// drive's SMART table, one line each.
std::string rows_of(const std::string& spec) {
  std::vector<std::string> f;
  for (size_t from = 0; from <= spec.size();) {
    const size_t end = std::min(spec.find(" | ", from), spec.size());
    f.push_back(spec.substr(from, end - from));
    from = end + 3;
  }
  std::vector<attribute_fields> attributes;
  std::istringstream a(f.at(3) + ",");
  for (std::string id, flags, value, worst, raw; a >> id >> flags >> value >> worst >> raw;)
    attributes.push_back({uint8_t(std::stoul(id)), uint16_t(std::stoul(flags, nullptr, 0)), uint8_t(std::stoul(value)),
                          uint8_t(std::stoul(worst)), std::stoull(raw, nullptr, 0)});
  std::vector<std::pair<uint8_t, uint8_t>> thresholds;
  std::istringstream t(f.at(4));
  for (unsigned id, threshold; t >> id && t.ignore(1) >> threshold;)
    thresholds.push_back({uint8_t(id), uint8_t(threshold)});
  smart_block b;
  b.attributes = attributes_block(attributes);
  b.thresholds = thresholds_block(thresholds);
  std::string text;
  for (const smart_row& r : smart_rows(b, f[2] == "SSD", f[0], f[1]))
    text += format_string("  %3u %s | %s | %s | threshold %d, state %d%s%s%s\n", unsigned(r.attribute.id),
                          r.group ? r.group->name : "-", r.name.c_str(), r.value_text.c_str(), r.threshold,
                          r.threshold_state, r.prefail ? ", prefail" : "", r.critical ? ", critical" : "",
                          r.defined ? "" : ", undefined");
  return text;
}
}  // namespace

// Each case of tests/data/storage/smart_rows.txt: a later group's name replaces an earlier one
// and a definition without a name keeps it; without the IDENTIFY's word a Samsung SSD is no SSD
// and only the common groups count; Kingston is an SSD by its name alone; the OCZ Vertex group
// names what the OCZ group leaves undocumented; ADATA SP drives that do not say they are solid
// state get the HDD-kind group; a vendor behind an enclosure name is matched by its own part;
// threshold states (a value at its threshold is at it) and flags.
TEST(smart_rows, names_groups_values_and_states_per_drive_family) { expect_cases("storage/smart_rows.txt", rows_of); }

TEST(smart_rows, patterns_match_the_whole_text_ignoring_case) {
  EXPECT_TRUE(smart_pattern_matches("samsung|MZ*", "samsung|mz7ln256hmjp"));
  EXPECT_TRUE(smart_pattern_matches("*|ACSC*", "kingspec|acsc4m256s25"));
  EXPECT_TRUE(smart_pattern_matches("PNY*|*", "pny|cs900"));
  EXPECT_TRUE(smart_pattern_matches("ocz|vert?x", "ocz|vertex"));
  EXPECT_FALSE(smart_pattern_matches("ocz|vertex", "ocz|vertex 3"));
  EXPECT_FALSE(smart_pattern_matches("transcend|TS*", "transcend|jetflash"));
}

TEST(nvme_health, every_counter_in_order_and_wide_ones_raw) {
  nvme_health_fields f;
  f.critical_warning = 0x04;
  f.temperature = 318;
  f.spare = 97;
  f.spare_threshold = 10;
  f.used = 13;
  for (size_t i = 0; i < f.counters.size(); ++i) f.counters[i] = {1000 + i, 0};
  f.counters[0] = {0, 1};                      // 2^64 data units read
  f.counters[1] = {0xFFFFFFFFFFFFFFFFull, 0};  // the largest that prints in decimal
  f.counters[8] = {0x0123456789ABCDEFull, 0xFEDCBA98ull};
  f.warning_minutes = 12;
  f.critical_minutes = 3;
  const std::array<uint8_t, 512> page = nvme_health_block(f);
  captured_log log;
  dump_nvme_health(page.data(), log.log);
  expect_golden(log.text(), "storage/nvme_health_dump.txt");
}
