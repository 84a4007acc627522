// ui-driver's own parsing and script running; the commands against real windows are driven by the
// program's end-to-end scripts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver_commands.h"
#include "key_names.h"
#include "script_runner.h"
#include "script_words.h"

namespace {
std::string contents(FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text += char(c);
  return text;
}

// A script run with its output and messages caught in temporary files.
struct script_run {
  int code = 0;
  std::string out, err;
  explicit script_run(const std::vector<std::string>& lines) {
    FILE* o = std::tmpfile();
    FILE* e = std::tmpfile();
    ui_driver driver;
    code = run_script("t.txt", lines, driver, o, e);
    out = contents(o);
    err = contents(e);
    std::fclose(o);
    std::fclose(e);
  }
};
}  // namespace

TEST(script_words, quotes_escapes_and_broken_lines) {
  std::vector<std::string> words;
  std::string error;
  ASSERT_TRUE(split_words("type 101 \"a \\\"b\\\"\\t\\\\n\\n\" 'C:\\new' x\"b c\"d #no", words, error));
  EXPECT_EQ(words, (std::vector<std::string>{"type", "101", "a \"b\"\t\\n\n", "C:\\new", "xb cd", "#no"}));
  ASSERT_TRUE(split_words("# a comment \"unbalanced", words, error));
  EXPECT_TRUE(words.empty());
  for (const char* open : {"text \"open", "text 'open", "text \"a\\"}) {
    EXPECT_FALSE(split_words(open, words, error)) << open;
    EXPECT_EQ(error, "unterminated quote");
  }
  EXPECT_FALSE(split_words("text \"C:\\windows\"", words, error));
  EXPECT_EQ(error, "unknown escape \\w");
  EXPECT_EQ(escaped("a\\b\r\n\tc \xc3\xa9"), "a\\\\b\\r\\n\\tc \xc3\xa9");
}

TEST(driver_commands, bad_arguments_say_why) {
  key_info k;
  for (const char* bad : {"", "F0", "F13", "F01", "Fx", "ab", "-", "Escape!"}) EXPECT_FALSE(key_by_name(bad, k)) << bad;
  int id = 0;
  std::string error;
  EXPECT_FALSE(parse_control("65536", id, error));
  EXPECT_EQ(error, "\"65536\" is not a control id (a number up to 65535, or \".\" for the window)");
  for (const char* bad : {"", "-1", "0x", "12a", "1.5", " 1"}) EXPECT_FALSE(parse_control(bad, id, error)) << bad;
  uint32_t v = 0;
  EXPECT_FALSE(parse_count("99999999999999999999", 0xFFFFFFFFu, v));
  ASSERT_TRUE(parse_exit_code("-1", v));
  EXPECT_EQ(v, 0xFFFFFFFFu);
  EXPECT_FALSE(parse_exit_code("4294967296", v));

  script_run run({"echo first", "click", "bogus", "text \"x", "wait-window --titel x", "wait-exit --timeout",
                  "wait-window --title a --title b"});
  EXPECT_EQ(run.code, driver_bad_script);
  EXPECT_EQ(run.out, "");
  const std::string usage =
      "usage: wait-window [--title PATTERN] [--class PATTERN] [--any-process] [--or-exit] "
      "[--timeout MS]\n";
  EXPECT_EQ(run.err,
            "ui-driver: t.txt:2: usage: click [--ctrl] CONTROL\n"
            "ui-driver: t.txt:3: unknown command \"bogus\"\n"
            "ui-driver: t.txt:4: unterminated quote\n"
            "ui-driver: t.txt:5: unknown option --titel; " +
                usage +
                "ui-driver: t.txt:6: --timeout needs a value; usage: wait-exit [--timeout MS]\n"
                "ui-driver: t.txt:7: --title given twice; " +
                usage);
}

TEST(script_runner, replies_in_order_until_the_first_failure) {
  script_run run({"echo hello \"a\tb\"", "", "# note", "timeout 12x", "echo two"});
  EXPECT_EQ(run.code, driver_failed);
  EXPECT_EQ(run.out, "| hello a\\tb\nok\nerror: \"12x\" is not a number of milliseconds up to 3600000\n");
  EXPECT_EQ(run.err, "ui-driver: t.txt:4: timeout 12x: \"12x\" is not a number of milliseconds up to 3600000\n");
  EXPECT_EQ(script_run({"wait-exit"}).out, "error: no target process\n");
  EXPECT_EQ(script_run({"text 100"}).out, "error: no current window: wait-window first\n");
  EXPECT_EQ(script_run({"console"}).out, "error: no target process: start one first\n");
  EXPECT_EQ(script_run({"start C:\\folvi-missing\\nothing.exe"}).out,
            "error: CreateProcess failed with 2 for C:\\\\folvi-missing\\\\nothing.exe\n");
}

TEST(script_runner, a_conversation_goes_on_after_errors_until_quit) {
  FILE* in = std::tmpfile();
  FILE* out = std::tmpfile();
  std::fputs("echo a\r\nbogus\nclick\n\nquit\necho never\n", in);
  std::rewind(in);
  ui_driver driver;
  EXPECT_EQ(run_conversation(in, driver, out), driver_failed);
  EXPECT_EQ(contents(out), "| a\nok\nerror: unknown command \"bogus\"\nerror: usage: click [--ctrl] CONTROL\nok\n");
  std::fclose(in);
  std::fclose(out);
}
