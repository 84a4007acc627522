// Client text made safe for pages, link identifiers, and the report values a page shows.
#include <gtest/gtest.h>

#include <set>

#include "golden.h"
#include "html_text.h"
#include "report_summary.h"
#include "share_id.h"

TEST(html_text, escapes_markup_and_mends_encoding) {
  EXPECT_EQ(html_escape("<script>alert('x')</script> & \"q\""),
            "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;q&quot;");
  EXPECT_EQ(html_escape("a\tb\r\nc\x01\x7f"), "a\tb\r\nc\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(valid_utf8("caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x98\x80"), "caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x98\x80");
  // A lone surrogate as the client's converter writes it, an overlong slash, a cut sequence.
  EXPECT_EQ(valid_utf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(valid_utf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(valid_utf8("ab\xE2\x80"), "ab\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(valid_utf8("\xF5\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(share_id, is_22_url_safe_characters_and_does_not_repeat) {
  std::set<std::string> seen;
  for (int i = 0; i < 2000; ++i) {
    std::string id = new_share_id();
    ASSERT_TRUE(is_share_id(id)) << id;
    // 128 bits: the last character carries 2 bits and four zero bits.
    ASSERT_NE(std::string("AQgw").find(id.back()), std::string::npos) << id;
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 2000u);
  EXPECT_FALSE(is_share_id("AAAAAAAAAAAAAAAAAAAAA"));
  EXPECT_FALSE(is_share_id("AAAAAAAAAAAAAAAAAAAA/A"));
}

TEST(report_summary, takes_the_first_report_of_joined_ones) {
  report_summary summary = summarize_report(test_data_text("joined_reports.txt"));
  // No write values: not in the first report, and nothing of the second is taken.
  EXPECT_EQ(summary.recorded + "|" + summary.platform + "|" + summary.device + "|" + summary.read_best + "|" +
                summary.read_best_io + "|" + summary.write_best + "|" + summary.write_best_io,
            "2024/01/31 09:05:00|Windows 10 / 10.0.19045 / 64 bit|SSD Samsung SSD 870 EVO 1TB|560.1 MBps|"
            "4 x 1048576 bytes, raw||");
}
