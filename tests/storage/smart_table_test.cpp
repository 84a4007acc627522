// Attribute names, groups and values for real drive families, and the two health tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "captured_log.h"
#include "health_blocks.h"
#include "storage/smart_table.h"

namespace {

smart_block block_of(const std::vector<attribute_fields>& attributes,
                     const std::vector<std::pair<uint8_t, uint8_t>>& thresholds) {
  smart_block b;
  b.attributes = attributes_block(attributes);
  b.thresholds = thresholds_block(thresholds);
  return b;
}

struct expected_row {
  uint8_t id;
  const char* group;  // null: no group defines it
  const char* name;
  std::string value;
};

void expect_rows(const std::vector<smart_row>& rows, const std::vector<expected_row>& expected) {
  ASSERT_EQ(rows.size(), expected.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE("attribute " + std::to_string(expected[i].id));
    EXPECT_EQ(rows[i].attribute.id, expected[i].id);
    EXPECT_STREQ(rows[i].group ? rows[i].group->name : nullptr, expected[i].group);
    EXPECT_EQ(rows[i].name, expected[i].name);
    EXPECT_EQ(rows[i].value_text, expected[i].value);
  }
}

const std::string degrees =
    " \xC2\xB0"
    "C";

}  // namespace

// A later group's name replaces an earlier one; a definition without a name keeps it.
TEST(smart_rows, samsung_oem_ssd_takes_the_last_group_and_the_last_name) {
  const smart_block b = block_of({{9, 0x32, 97, 97, 12044},
                                  {177, 0x13, 96, 96, 61},
                                  {183, 0x13, 100, 100, 0},
                                  {190, 0x32, 68, 53, 32},
                                  {241, 0x32, 99, 99, 40177631642ull}},
                                 {{177, 5}, {183, 10}});
  expect_rows(smart_rows(b, true, "Samsung", "MZ7LN256HMJP-000L7"),
              {{9, "Common", "Power-on hours", "12044"},
               {177, "Common (SSD)", "Flash wear leveling count", "61"},
               {183, "Samsung SSD", "Flash operation failures", "0"},
               {190, "Common", "Temperature", "32" + degrees},
               {241, "Samsung MZ", "Lifetime data written", "40177631642 (18.7 TiB)"}});
  // Without the IDENTIFY's word the same model is no SSD: only the common groups count.
  const std::vector<smart_row> hdd = smart_rows(b, false, "Samsung", "MZ7LN256HMJP-000L7");
  EXPECT_STREQ(hdd[4].group->name, "Common (HDD)");
  EXPECT_EQ(hdd[4].name, "Lifetime writes");
  EXPECT_EQ(hdd[2].name, "SATA downshift count");
}

TEST(smart_rows, vendor_families_refine_formats_and_units) {
  const smart_block seagate = block_of({{7, 0x0F, 84, 60, 0x00000152A3F1ull},
                                        {194, 0x22, 36, 45, 0x001200000024ull},
                                        {240, 0, 100, 253, 0x9C5F00002A55ull}},
                                       {{7, 45}});
  expect_rows(smart_rows(seagate, false, "Seagate", "ST2000DM008-2FR102"),
              {{7, "Seagate HDD", "Seek error rate", "0 / 22193137"},
               {194, "Common", "Temperature", "36" + degrees},
               {240, "Seagate HDD", "Head flying hours", "10837"}});

  const smart_block intel = block_of({{225, 0x32, 100, 100, 100000}, {241, 0x32, 100, 100, 100000}}, {});
  expect_rows(smart_rows(intel, false, "Intel", "SSDSC2KW512G8"),
              {{225, "Intel SSD", "Host-written bytes", "3200000 MB (3.1 TiB)"},
               {241, "Intel SSD", "Lifetime data written", "3200000 MB (3.1 TiB)"}});

  // Kingston counts as SSD by its name alone.
  const smart_block kingston = block_of({{173, 0x32, 100, 100, 0x000000120034ull}, {241, 0x32, 100, 100, 1234}}, {});
  expect_rows(smart_rows(kingston, false, "Kingston", "SA400S37240G"),
              {{173, "Kingston SSD", "Flash erase count (average / max)", "18 / 52"},
               {241, "Kingston SSD", "Lifetime data written", "1234 GB (1.2 TiB)"}});

  // The OCZ Vertex group names what the OCZ group leaves undocumented.
  const smart_block ocz = block_of({{209, 0x32, 97, 97, 0}, {224, 0x32, 100, 100, 1}, {233, 0x32, 90, 90, 5}}, {});
  expect_rows(smart_rows(ocz, false, "OCZ", "Vertex"), {{209, "OCZ SSD / Group 2", "Lifetime remaining", "97%"},
                                                        {224, "OCZ SSD", "In warranty", "Yes"},
                                                        {233, "OCZ SSD", "- undocumented -", "000000000005"}});

  // ADATA SP drives that do not say they are solid state get the HDD-kind ADATA group.
  const smart_block adata = block_of({{177, 0x32, 100, 100, 3}, {241, 0x32, 100, 100, 2048}}, {});
  expect_rows(smart_rows(adata, false, "ADATA", "SP900"), {{177, "ADATA SSD", "Wear range delta", "3"},
                                                           {241, "ADATA SSD", "Lifetime writes", "2048 GB (2.0 TiB)"}});

  // A vendor behind an enclosure name is matched by its own part.
  const smart_block toshiba = block_of({{240, 0x01, 100, 100, 0}}, {});
  expect_rows(smart_rows(toshiba, false, "ASMT / Toshiba", "MQ01ABD100"),
              {{240, "Toshiba HDD", "- undocumented -", "-"}});
}

TEST(smart_rows, rows_keep_threshold_state_and_flags) {
  const smart_block b =
      block_of({{5, 0x33, 100, 100, 8}, {10, 0x13, 96, 96, 0}, {150, 0x00, 100, 100, 7}}, {{5, 10}, {10, 97}});
  const std::vector<smart_row> rows = smart_rows(b, false, "", "SOME DISK");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].threshold_state, 1);
  EXPECT_TRUE(rows[0].prefail);
  EXPECT_TRUE(rows[0].critical);
  EXPECT_EQ(rows[1].threshold_state, 0);
  EXPECT_FALSE(rows[1].critical);
  EXPECT_EQ(rows[2].threshold_state, -1);
  EXPECT_FALSE(rows[2].defined);
  EXPECT_FALSE(rows[2].prefail);

  captured_log log;
  dump_smart_table(rows, log.log);
  EXPECT_EQ(log.text(),
            "2 SMART table\n"
            "2  1.    5  100   10  000000000008  0033  |  Common           |  Reallocated sector count\n"
            "2  2.   10   96   97  000000000000  0013  |  Common           |  Spin retry count\n"
            "2  3.  150  100  ---  000000000007  0000  |  -                |  ?\n");
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
  EXPECT_EQ(log.text(),
            "2 SMART table (NVMe):\n"
            "2  * Critical_warning        0x04\n"
            "2  * Temperature             318 K\n"
            "2  * Spare_available         97 %\n"
            "2  * Spare_threshold         10 %\n"
            "2  * Lifetime_used           13\n"
            "2  * Lifetime_data_read      00000000000000010000000000000000 (raw) x 512 bytes\n"
            "2  * Lifetime_data_written   18446744073709551615 x 512 bytes\n"
            "2  * Total_read_commmands    1002\n"
            "2  * Total_write_commands    1003\n"
            "2  * Controller_busy_time    1004 (min)\n"
            "2  * Power_cycle_count       1005\n"
            "2  * Power_on_hours          1006\n"
            "2  * Unsafe_shutdowns        1007\n"
            "2  * Media_errors            00000000fedcba980123456789abcdef (raw)\n"
            "2  * Total_error_log_count   1009\n"
            "2  * Warn_temperature_time   12 (min)\n"
            "2  * Crit_temperature_time   3 (min)\n");
}
