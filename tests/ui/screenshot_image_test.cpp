#include "ui/screenshot_image.h"

#include <gtest/gtest.h>

namespace {

TEST(screenshot_image, serial_mask_and_title) {
  const struct {
    const wchar_t* line;
    const wchar_t* masked;
  } rows[] = {
      {L"1234-ABCD", L"XXXX-XXXX"},
      {L"Simple \u00B7 x", L"Simple \u00B7 x"},
      {L"Mirror-2  \u00B7  0BAD-F00D", L"Mirror-2  \u00B7  XXXX-XXXX"},
      {L"?", L"?"},
      {L"\u2013", L"\u2013"},
      {L"123-ABCD", L"123-ABCD"},  // the dash before position 4
      {L"1234-ABC", L"1234-ABC"},  // fewer than four characters after it
      {L"1234-", L"1234-"},
      {L"AB  \u00B7  -x", L"AB  \u00B7  -x"},
      {L"ABCD-EF01 tail", L"XXXX-XXXX tail"},
  };
  for (const auto& r : rows) EXPECT_EQ(mask_volume_serial(r.line), r.masked) << r.line;

  EXPECT_EQ(screenshot_title(L"Cold-cache Sequential I/O Benchmark", "1.2.3"),
            L"Cold-cache Sequential I/O Benchmark / 1.2.3");
}

}  // namespace
