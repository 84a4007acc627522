#include "results/report_render.h"

#include <gtest/gtest.h>

namespace {
std::string rendered(const report_entries& entries) {
  std::string out = "left over";
  render_report(entries, out);
  return out;
}
}  // namespace

TEST(report_render, keys_pad_to_thirty) {
  EXPECT_EQ(rendered({{"Test.order", "3"}}), "Test.order                      3\r\n");
  EXPECT_EQ(rendered({{std::string(29, 'k'), "v"}}), std::string(29, 'k') + "   v\r\n");
  EXPECT_EQ(rendered({{std::string(30, 'k'), "v"}}), std::string(30, 'k') + "  v\r\n");
  EXPECT_EQ(rendered({{std::string(41, 'k'), "v"}}), std::string(41, 'k') + "  v\r\n");
}

TEST(report_render, blank_entry_is_32_spaces) {
  EXPECT_EQ(rendered({{}, {}}), std::string(32, ' ') + "\r\n" + std::string(32, ' ') + "\r\n");
  EXPECT_EQ(rendered({{"", "x"}}), std::string(32, ' ') + "x\r\n");
}

TEST(report_render, long_values_stay_whole) {
  std::string value(5000, 'v');
  EXPECT_EQ(rendered({{"Test.path", value}}), "Test.path" + std::string(23, ' ') + value + "\r\n");
}

TEST(report_render, line_breaks_cannot_forge_lines) {
  EXPECT_EQ(rendered({{"Device.model", "X\r\nRead.tests  999"}, {"a\nb", "c\rd"}}),
            "Device.model                    X  Read.tests  999\r\n"
            "a b                             c d\r\n");
}
