// ui-driver's own parsing and script running; the commands against real windows are driven by the
// program's end-to-end scripts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver_commands.h"
#include "golden.h"
#include "key_names.h"
#include "script_runner.h"
#include "script_words.h"

namespace {
std::string contents(FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text += char(c);
  std::fclose(f);
  return text;
}

// "split line" (each word escaped, or the error), "key name", "control text", "count text",
// "exit_code text": what each parser makes of its argument.
std::string answer(const std::string& question) {
  const size_t space = question.find(' ');
  const std::string fn = question.substr(0, space), arg = question.substr(space + 1);
  std::string error, out;
  uint32_t v = 0;
  if (fn == "split") {
    std::vector<std::string> words;
    if (!split_words(arg, words, error)) return "refused: " + error;
    for (const std::string& w : words) out += "[" + escaped(w) + "]";
    return out;
  }
  if (fn == "key") {
    key_info k;
    return key_by_name(arg, k) ? std::to_string(k.virtual_key) : "refused";
  }
  if (fn == "control") {
    int id = 0;
    return parse_control(arg, id, error) ? std::to_string(id) : "refused: " + error;
  }
  if (fn == "count") return parse_count(arg, 0xFFFFFFFFu, v) ? std::to_string(v) : "refused";
  if (fn == "exit_code") return parse_exit_code(arg, v) ? std::to_string(v) : "refused";
  return "unknown question";
}

// A script of the lines given, separated by " ; ": its code, its replies and its messages.
std::string script_case(const std::string& spec) {
  std::vector<std::string> lines;
  for (size_t at = 0, end; at <= spec.size(); at = end + 3) {
    end = std::min(spec.find(" ; ", at), spec.size());
    lines.push_back(spec.substr(at, end - at));
  }
  FILE* o = std::tmpfile();
  FILE* e = std::tmpfile();
  ui_driver driver;
  const int code = run_script("t.txt", lines, driver, o, e);
  return "code " + std::to_string(code) + "\n" + contents(o) + "messages:\n" + contents(e);
}
}  // namespace

TEST(script_words, words_keys_controls_and_numbers_as_their_parsers_read_them) {
  expect_table("tools/ui_driver_words.txt", answer);
}

// Replies in order until the first failure; bad lines say where and why, and run nothing.
TEST(script_runner, replies_and_messages_of_scripts) { expect_cases("tools/ui_driver_scripts.txt", script_case); }

TEST(script_runner, a_conversation_goes_on_after_errors_until_quit) {
  FILE* in = std::tmpfile();
  std::fputs("echo a\r\nbogus\nclick\n\nquit\necho never\n", in);
  std::rewind(in);
  FILE* out = std::tmpfile();
  ui_driver driver;
  EXPECT_EQ(run_conversation(in, driver, out), driver_failed);
  EXPECT_EQ(contents(out), "| a\nok\nerror: unknown command \"bogus\"\nerror: usage: click [--ctrl] CONTROL\nok\n");
  std::fclose(in);
}
