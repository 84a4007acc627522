#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "console_link.h"
#include "driver_commands.h"
#include "key_names.h"
#include "script_runner.h"
#include "script_words.h"
#include "text_match.h"

namespace {
std::vector<std::string> words_of(const std::string& line) {
  std::vector<std::string> words;
  std::string error;
  EXPECT_TRUE(split_words(line, words, error)) << error;
  return words;
}

std::string split_error(const std::string& line) {
  std::vector<std::string> words;
  std::string error;
  EXPECT_FALSE(split_words(line, words, error));
  return error;
}

std::string parse_error(const std::string& line) {
  command c;
  std::string error;
  EXPECT_FALSE(parse_command(words_of(line), c, error)) << line;
  return error;
}

command parsed(const std::string& line) {
  command c;
  std::string error;
  EXPECT_TRUE(parse_command(words_of(line), c, error)) << error;
  return c;
}

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

TEST(script_words, blanks_quotes_and_escapes) {
  EXPECT_EQ(words_of("  click   102 "), (std::vector<std::string>{"click", "102"}));
  EXPECT_EQ(words_of("type 101 \"a \\\"b\\\"\\t\\\\n\\n\""),
            (std::vector<std::string>{"type", "101", "a \"b\"\t\\n\n"}));
  EXPECT_EQ(words_of("start 'C:\\new\\table.exe' --x"),
            (std::vector<std::string>{"start", "C:\\new\\table.exe", "--x"}));
  EXPECT_EQ(words_of("set-text 101 \"\""), (std::vector<std::string>{"set-text", "101", ""}));
  EXPECT_EQ(words_of("echo a\"b c\"d"), (std::vector<std::string>{"echo", "ab cd"}));
  EXPECT_EQ(words_of("echo C:\\plain\\path"), (std::vector<std::string>{"echo", "C:\\plain\\path"}));
  EXPECT_TRUE(words_of("# a comment \"unbalanced").empty());
  EXPECT_EQ(words_of("echo #not-a-comment"), (std::vector<std::string>{"echo", "#not-a-comment"}));
  EXPECT_TRUE(words_of(" \t\r").empty());
}

TEST(script_words, broken_lines_say_why) {
  EXPECT_EQ(split_error("text \"open"), "unterminated quote");
  EXPECT_EQ(split_error("text 'open"), "unterminated quote");
  EXPECT_EQ(split_error("text \"a\\"), "unterminated quote");
  EXPECT_EQ(split_error("text \"C:\\windows\""), "unknown escape \\w");
}

TEST(script_words, output_escapes) { EXPECT_EQ(escaped("a\\b\r\n\tc \xc3\xa9"), "a\\\\b\\r\\n\\tc \xc3\xa9"); }

TEST(text_match, stars_and_question_marks) {
  EXPECT_TRUE(text_matches("Ready", "Ready"));
  EXPECT_FALSE(text_matches("Ready", "Ready."));
  EXPECT_FALSE(text_matches("Ready", "ready"));
  EXPECT_TRUE(text_matches("", ""));
  EXPECT_FALSE(text_matches("", "x"));
  EXPECT_TRUE(text_matches("*", ""));
  EXPECT_TRUE(text_matches("**", "anything"));
  EXPECT_TRUE(text_matches("a*b*c", "axxbyybc"));
  EXPECT_FALSE(text_matches("a*b*c", "axxbyybcd"));
  EXPECT_TRUE(text_matches("*Press Enter to exit...*", "\nPress Enter to exit...\n"));
  EXPECT_TRUE(text_matches("Gr??e",
                           "Gr\xc3\xb6\xc3\x9f"
                           "e"));
  EXPECT_FALSE(text_matches("Gr???e",
                            "Gr\xc3\xb6\xc3\x9f"
                            "e"));
  EXPECT_TRUE(text_matches("*?e",
                           "Gr\xc3\xb6\xc3\x9f"
                           "e"));
  EXPECT_TRUE(text_matches("Profile: ?uick", "Profile: Quick"));
  EXPECT_FALSE(text_matches("Profile: ?", "Profile: "));
}

TEST(key_names, named_lettered_and_function_keys) {
  key_info k;
  ASSERT_TRUE(key_by_name("Esc", k));
  EXPECT_EQ(k.virtual_key, VK_ESCAPE);
  ASSERT_TRUE(key_by_name("ENTER", k));
  EXPECT_EQ(k.virtual_key, VK_RETURN);
  EXPECT_EQ(k.character, L'\r');
  ASSERT_TRUE(key_by_name("pagedown", k));
  EXPECT_EQ(k.virtual_key, VK_NEXT);
  ASSERT_TRUE(key_by_name("F1", k));
  EXPECT_EQ(k.virtual_key, VK_F1);
  ASSERT_TRUE(key_by_name("f12", k));
  EXPECT_EQ(k.virtual_key, VK_F12);
  ASSERT_TRUE(key_by_name("q", k));
  EXPECT_EQ(k.virtual_key, 'Q');
  EXPECT_EQ(k.character, L'q');
  ASSERT_TRUE(key_by_name("7", k));
  EXPECT_EQ(k.virtual_key, '7');
  for (const char* bad : {"", "F0", "F13", "F01", "Fx", "ab", "-", "Escape!"}) EXPECT_FALSE(key_by_name(bad, k)) << bad;
}

TEST(driver_commands, arguments_and_options_checked) {
  EXPECT_EQ(parse_error("bogus 1"), "unknown command \"bogus\"");
  EXPECT_EQ(parse_error("click"), "usage: click [--ctrl] CONTROL");
  EXPECT_EQ(parse_error("click 1 2"), "usage: click [--ctrl] CONTROL");
  EXPECT_EQ(parse_error("adopt now"), "usage: adopt");
  EXPECT_EQ(parse_error("wait-window --titel x"),
            "unknown option --titel; usage: wait-window [--title PATTERN] [--class PATTERN] [--any-process] "
            "[--or-exit] [--timeout MS]");
  EXPECT_EQ(parse_error("wait-exit --timeout"), "--timeout needs a value; usage: wait-exit [--timeout MS]");
  EXPECT_EQ(parse_error("wait-window --title a --title b"),
            "--title given twice; usage: wait-window [--title PATTERN] [--class PATTERN] [--any-process] "
            "[--or-exit] [--timeout MS]");
  EXPECT_EQ(parse_error("start --limited"),
            "usage: start [--limited] [--new-console] [--dir DIR] PROGRAM [ARGUMENT...]");

  const command wait = parsed("wait-text 100 \"Applied: *\" --timeout 500");
  EXPECT_EQ(wait.args, (std::vector<std::string>{"100", "Applied: *"}));
  EXPECT_EQ(wait.options.at("--timeout"), "500");
  const command flagged = parsed("wait-window --any-process --class #32770");
  EXPECT_TRUE(flagged.has("--any-process"));
  EXPECT_EQ(flagged.options.at("--class"), "#32770");
  // Words that look like text stay arguments after "--".
  EXPECT_EQ(parsed("expect-text 100 -- --console").args, (std::vector<std::string>{"100", "--console"}));
}

TEST(driver_commands, the_started_programs_options_are_its_own) {
  const command c = parsed("start --limited --dir C:\\ prog.exe --console --elevating");
  EXPECT_TRUE(c.has("--limited"));
  EXPECT_EQ(c.options.at("--dir"), "C:\\");
  EXPECT_EQ(c.args, (std::vector<std::string>{"prog.exe", "--console", "--elevating"}));
  EXPECT_FALSE(c.has("--console"));
}

TEST(driver_commands, numbers_controls_and_exit_codes) {
  int id = 0;
  std::string error;
  ASSERT_TRUE(parse_control(".", id, error));
  EXPECT_EQ(id, window_itself);
  ASSERT_TRUE(parse_control("0x3E9", id, error));
  EXPECT_EQ(id, 1001);
  ASSERT_TRUE(parse_control("65535", id, error));
  EXPECT_FALSE(parse_control("65536", id, error));
  EXPECT_EQ(error, "\"65536\" is not a control id (a number up to 65535, or \".\" for the window)");
  for (const char* bad : {"", "-1", "0x", "12a", "1.5", " 1"}) EXPECT_FALSE(parse_control(bad, id, error)) << bad;

  uint32_t v = 0;
  EXPECT_TRUE(parse_count("3600000", 3600000, v));
  EXPECT_FALSE(parse_count("3600001", 3600000, v));
  EXPECT_FALSE(parse_count("99999999999999999999", 0xFFFFFFFFu, v));
  ASSERT_TRUE(parse_exit_code("70", v));
  EXPECT_EQ(v, 70u);
  ASSERT_TRUE(parse_exit_code("0xC0000005", v));
  EXPECT_EQ(v, 0xC0000005u);
  ASSERT_TRUE(parse_exit_code("-1", v));
  EXPECT_EQ(v, 0xFFFFFFFFu);
  EXPECT_FALSE(parse_exit_code("-0", v));
  EXPECT_FALSE(parse_exit_code("4294967296", v));
}

TEST(driver_commands, help_lists_every_command) {
  const std::string help = driver_help_text();
  for (const command_form& form : command_forms())
    EXPECT_NE(help.find(std::string("\n  ") + form.name), std::string::npos) << form.name;
}

TEST(script_runner, replies_in_order) {
  script_run run({"echo hello \"a\tb\"", "", "# note", "timeout 250", "echo done"});
  EXPECT_EQ(run.code, driver_ok);
  EXPECT_EQ(run.out, "| hello a\\tb\nok\nok\n| done\nok\n");
  EXPECT_EQ(run.err, "");
}

TEST(script_runner, errors_found_before_anything_runs) {
  script_run run({"echo first", "click", "bogus", "text \"x"});
  EXPECT_EQ(run.code, driver_bad_script);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "ui-driver: t.txt:2: usage: click [--ctrl] CONTROL\n"
            "ui-driver: t.txt:3: unknown command \"bogus\"\n"
            "ui-driver: t.txt:4: unterminated quote\n");
}

TEST(script_runner, the_first_failure_stops_the_script) {
  script_run run({"echo one", "timeout 12x", "echo two"});
  EXPECT_EQ(run.code, driver_failed);
  EXPECT_EQ(run.out, "| one\nok\nerror: \"12x\" is not a number of milliseconds up to 3600000\n");
  EXPECT_EQ(run.err, "ui-driver: t.txt:2: timeout 12x: \"12x\" is not a number of milliseconds up to 3600000\n");
}

TEST(script_runner, commands_that_need_a_target_or_window_say_so) {
  script_run run({"wait-exit"});
  EXPECT_EQ(run.out, "error: no target process\n");
  script_run window({"text 100"});
  EXPECT_EQ(window.out, "error: no current window: wait-window first\n");
  script_run console({"console"});
  EXPECT_EQ(console.out, "error: no target process: start one first\n");
  script_run start({"start C:\\folvi-missing\\nothing.exe"});
  EXPECT_EQ(start.out, "error: CreateProcess failed with 2 for C:\\\\folvi-missing\\\\nothing.exe\n");
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

TEST(console_link, rows_trimmed_at_the_right_and_the_end) {
  EXPECT_EQ(trimmed_rows({L"3 hello   ", L"        ", L"  x ", L"   ", L""}),
            (std::vector<std::wstring>{L"3 hello", L"", L"  x"}));
  EXPECT_TRUE(trimmed_rows({L"   ", L""}).empty());
}

TEST(console_link, typing_presses_and_releases_each_key) {
  const std::vector<INPUT_RECORD> keys = key_presses(L"a\n");
  ASSERT_EQ(keys.size(), 4u);
  EXPECT_TRUE(keys[0].Event.KeyEvent.bKeyDown);
  EXPECT_FALSE(keys[1].Event.KeyEvent.bKeyDown);
  EXPECT_EQ(keys[0].Event.KeyEvent.uChar.UnicodeChar, L'a');
  EXPECT_EQ(keys[0].Event.KeyEvent.wVirtualKeyCode, 'A');
  EXPECT_EQ(keys[2].Event.KeyEvent.wVirtualKeyCode, VK_RETURN);
  EXPECT_EQ(keys[2].Event.KeyEvent.uChar.UnicodeChar, L'\r');
  for (const INPUT_RECORD& r : keys) EXPECT_EQ(r.EventType, KEY_EVENT);
}
