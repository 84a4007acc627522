// Attribute names, groups and values for real drive families, and the two health tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "captured_log.h"
#include "golden.h"
#include "health_blocks.h"
#include "support/format_string.h"
#include "storage/smart_table.h"

namespace {

smart_block block_of(const std::vector<attribute_fields>& attributes,
                     const std::vector<std::pair<uint8_t, uint8_t>>& thresholds) {
  smart_block b;
  b.attributes = attributes_block(attributes);
  b.thresholds = thresholds_block(thresholds);
  return b;
}

}  // namespace

// Each case's rows, one line each, compared with tests/data/storage/smart_rows.txt.
TEST(smart_rows, names_groups_values_and_states_per_drive_family) {
  const std::vector<attribute_fields> samsung_attributes = {{9, 0x32, 97, 97, 12044},
                                                            {177, 0x13, 96, 96, 61},
                                                            {183, 0x13, 100, 100, 0},
                                                            {190, 0x32, 68, 53, 32},
                                                            {241, 0x32, 99, 99, 40177631642ull}};
  const std::vector<std::pair<uint8_t, uint8_t>> samsung_thresholds = {{177, 5}, {183, 10}};
  const struct {
    const char* vendor;
    const char* model;
    bool ssd;
    std::vector<attribute_fields> attributes;
    std::vector<std::pair<uint8_t, uint8_t>> thresholds;
  } cases[] = {
      // A later group's name replaces an earlier one; a definition without a name keeps it.
      {"Samsung", "MZ7LN256HMJP-000L7", true, samsung_attributes, samsung_thresholds},
      // Without the IDENTIFY's word the same model is no SSD: only the common groups count.
      {"Samsung", "MZ7LN256HMJP-000L7", false, samsung_attributes, samsung_thresholds},
      {"Seagate",
       "ST2000DM008-2FR102",
       false,
       {{7, 0x0F, 84, 60, 0x00000152A3F1ull},
        {194, 0x22, 36, 45, 0x001200000024ull},
        {240, 0, 100, 253, 0x9C5F00002A55ull}},
       {{7, 45}}},
      {"Intel", "SSDSC2KW512G8", false, {{225, 0x32, 100, 100, 100000}, {241, 0x32, 100, 100, 100000}}, {}},
      // Kingston counts as SSD by its name alone.
      {"Kingston", "SA400S37240G", false, {{173, 0x32, 100, 100, 0x000000120034ull}, {241, 0x32, 100, 100, 1234}}, {}},
      // The OCZ Vertex group names what the OCZ group leaves undocumented.
      {"OCZ", "Vertex", false, {{209, 0x32, 97, 97, 0}, {224, 0x32, 100, 100, 1}, {233, 0x32, 90, 90, 5}}, {}},
      // ADATA SP drives that do not say they are solid state get the HDD-kind ADATA group.
      {"ADATA", "SP900", false, {{177, 0x32, 100, 100, 3}, {241, 0x32, 100, 100, 2048}}, {}},
      // A vendor behind an enclosure name is matched by its own part.
      {"ASMT / Toshiba", "MQ01ABD100", false, {{240, 0x01, 100, 100, 0}}, {}},
      // Threshold states (a value at its threshold is at it) and flags.
      {"",
       "SOME DISK",
       false,
       {{5, 0x33, 100, 100, 8}, {10, 0x13, 96, 96, 0}, {12, 0x32, 97, 97, 4}, {150, 0x00, 100, 100, 7}},
       {{5, 10}, {10, 97}, {12, 97}}},
  };
  std::string text;
  for (const auto& c : cases) {
    text += std::string(c.vendor) + " | " + c.model + (c.ssd ? " | SSD\n" : "\n");
    for (const smart_row& r : smart_rows(block_of(c.attributes, c.thresholds), c.ssd, c.vendor, c.model))
      text += format_string("  %3u %s | %s | %s | threshold %d, state %d%s%s%s\n", unsigned(r.attribute.id),
                            r.group ? r.group->name : "-", r.name.c_str(), r.value_text.c_str(), r.threshold,
                            r.threshold_state, r.prefail ? ", prefail" : "", r.critical ? ", critical" : "",
                            r.defined ? "" : ", undefined");
  }
  expect_golden(text, "storage/smart_rows.txt");
}

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
