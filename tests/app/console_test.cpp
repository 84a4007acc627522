#include "app/console.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {
// A console whose every call can be made to fail; it writes to a temporary file, which the console
// logger closes when its context goes (tests where no logger was installed close it themselves).
class fake_console final : public console_api {
 public:
  bool allocate_ok = true, reopen_ok = true;
  DWORD mode = 0x7;
  std::vector<DWORD> modes_set;
  int allocations = 0, reopens = 0, reads = 0;
  UINT code_page = 0;
  FILE* stream = std::tmpfile();

  bool allocate(api_error_cb* errors) override {
    ++allocations;
    if (!allocate_ok && errors) errors->report_api_error("AllocConsole", 5);
    return allocate_ok;
  }
  void set_output_code_page(UINT cp) override { code_page = cp; }
  bool input_mode(DWORD& m) override {
    m = mode;
    return true;
  }
  void set_input_mode(DWORD m) override { modes_set.push_back(m); }
  bool reopen_streams(api_error_cb*) override {
    ++reopens;
    return reopen_ok;
  }
  FILE* output() override { return stream; }
  bool read_line() override {
    ++reads;
    return true;
  }

  std::string written() {
    std::fflush(stream);
    std::rewind(stream);
    std::string text;
    for (int c; (c = std::fgetc(stream)) != EOF;) text += char(c);
    return text;
  }
};
}  // namespace

TEST(attach_console, logs_and_failures_reach_the_console) {
  fake_console console;
  {
    app_context context;
    context.main_logger->log(3, "lost before the console\n");
    ASSERT_TRUE(attach_console(context, console));
    EXPECT_TRUE(context.console_attached);
    EXPECT_EQ(console.code_page, 65001u);
    context.main_logger->log(3, "Restarting as Administrator...\n");
    context.errors->report_api_error("OpenProcessToken", 5, "");
    context.errors->report_api_error("AdjustTokenPrivileges", 1300, "%s", "SeManageVolumePrivilege");
    EXPECT_EQ(console.written(),
              "3 Restarting as Administrator...\n"
              "0 OpenProcessToken() failed with 5\n"
              "0 AdjustTokenPrivileges() failed with 1300, SeManageVolumePrivilege\n");
  }
}

// A console that cannot be allocated, or whose streams do not reopen, installs nothing; without a
// console the exit prompt neither prints nor waits.
TEST(attach_console, failures_install_nothing) {
  for (bool allocation_fails : {true, false}) {
    fake_console console;
    console.allocate_ok = !allocation_fails;
    console.reopen_ok = false;
    app_context context;
    EXPECT_FALSE(attach_console(context, console));
    EXPECT_FALSE(context.console_attached);
    EXPECT_EQ(context.main_logger, &a_null_logger::instance);
    EXPECT_EQ(console.reopens, allocation_fails ? 0 : 1);
    EXPECT_EQ(console.modes_set.empty(), allocation_fails);
    EXPECT_EQ(context.error_logger.last_error().api, allocation_fails ? "AllocConsole" : "");
    wait_for_enter(context, console);
    EXPECT_EQ(console.reads, 0);
    EXPECT_EQ(console.written(), "");
    std::fclose(console.stream);
  }
}

// Quick edit is turned on only when it is off; a second attach changes nothing; the exit prompt
// waits for one line.
TEST(attach_console, quick_edit_once_per_process_and_the_exit_prompt) {
  fake_console on;
  on.mode = 0x40 | 0x7;
  {
    app_context context;
    ASSERT_TRUE(attach_console(context, on));
  }
  EXPECT_TRUE(on.modes_set.empty());

  fake_console console;
  app_context context;
  ASSERT_TRUE(attach_console(context, console));
  EXPECT_EQ(console.modes_set, std::vector<DWORD>{0x7 | 0x40 | 0x80});
  logger* first = context.main_logger;
  EXPECT_TRUE(attach_console(context, console));
  EXPECT_EQ(console.allocations, 1);
  EXPECT_EQ(context.main_logger, first);
  wait_for_enter(context, console);
  EXPECT_EQ(console.reads, 1);
  EXPECT_EQ(console.written(), "\nPress Enter to exit...\n");
}
