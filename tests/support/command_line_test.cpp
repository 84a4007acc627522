#include "support/command_line.h"

#include <gtest/gtest.h>

TEST(command_line, arguments_quoted_only_when_needed) {
  EXPECT_EQ(quote_argument(L"--console"), L"--console");
  EXPECT_EQ(quote_argument(L"C:\\dir\\file.exe"), L"C:\\dir\\file.exe");
  EXPECT_EQ(quote_argument(L""), L"\"\"");
  EXPECT_EQ(quote_argument(L"a b"), L"\"a b\"");
  EXPECT_EQ(quote_argument(L"say \"hi\""), L"\"say \\\"hi\\\"\"");
  // Backslashes double only before a quote, the closing one included.
  EXPECT_EQ(quote_argument(L"C:\\my dir\\"), L"\"C:\\my dir\\\\\"");
  EXPECT_EQ(quote_argument(L"a\\\\\"b c"), L"\"a\\\\\\\\\\\"b c\"");
  EXPECT_EQ(command_line_of({L"prog.exe", L"--x", L"two words", L""}), L"prog.exe --x \"two words\" \"\"");
}
