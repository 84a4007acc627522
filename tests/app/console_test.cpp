#include "app/console.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "golden.h"

namespace {
// A console whose calls are written down and which fails where the case says (allocate=fails,
// reopen=fails, mode=HEX); it writes to a temporary file, which the console logger closes when its
// context goes.
struct fake_console final : console_api {
  explicit fake_console(const std::string& s) : spec(s) {}
  bool allocate(api_error_cb* errors) override {
    calls += "allocate\n";
    if (spec_value(spec, "allocate") != "fails") return true;
    if (errors) errors->report_api_error("AllocConsole", 5);
    return false;
  }
  void set_output_code_page(UINT cp) override { calls += "code page " + std::to_string(cp) + "\n"; }
  bool input_mode(DWORD& m) override {
    m = std::stoul(spec_value(spec, "mode", "7"), nullptr, 16);
    return true;
  }
  void set_input_mode(DWORD m) override { calls += "input mode " + std::to_string(m) + "\n"; }
  bool reopen_streams(api_error_cb*) override {
    calls += "reopen streams\n";
    return spec_value(spec, "reopen") != "fails";
  }
  FILE* output() override { return stream; }
  bool read_line() override {
    calls += "read a line\n";
    return true;
  }
  std::string written() {
    std::fflush(stream);
    std::rewind(stream);
    std::string text;
    for (int c; (c = std::fgetc(stream)) != EOF;) text += char(c);
    return text;
  }
  std::string spec, calls;
  FILE* stream = std::tmpfile();
};

// Attached twice, logged and failed through, then the exit prompt: the calls, the context and the
// console's text.
std::string run(const std::string& spec) {
  fake_console console(spec);
  app_context context;
  context.main_logger->log(3, "lost before the console\n");
  const bool attached = attach_console(context, console);
  std::string text = "attached " + std::to_string(attached) + " " + std::to_string(context.console_attached) +
                     ", last error [" + context.error_logger.last_error().api + "]\n";
  context.main_logger->log(3, "Restarting as Administrator...\n");
  context.errors->report_api_error("AdjustTokenPrivileges", 1300, "%s", "SeManageVolumePrivilege");
  logger* first = context.main_logger;
  text += "again " + std::to_string(attach_console(context, console)) +
          (first == &a_null_logger::instance ? ", no logger" : "") +
          (context.main_logger == first ? "" : ", a new one") + "\n";
  wait_for_enter(context, console);
  text = console.calls + text + "| " + console.written() + "\n";
  if (!attached) std::fclose(console.stream);
  return text;
}
}  // namespace

TEST(attach_console, cases) { expect_cases("app/console_cases.txt", run); }
