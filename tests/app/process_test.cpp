#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/elevation.h"
#include "app/shell_launch.h"
#include "recorded_errors.h"
#include "support/text.h"

namespace {
std::wstring system_program(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
  return std::wstring(dir, n) + L"\\" + name;
}
}  // namespace

TEST(app_context, version_of_the_test_program) {
  app_context context;
  ASSERT_TRUE(context.read_version());
  EXPECT_EQ(context.version.full(), FOLVI_EXPECTED_VERSION);
}

// A name the system does not know, one the token holds and one only the system's own tokens hold.
TEST(enable_privilege, unknown_held_and_lacking) {
  recorded_errors errors;
  EXPECT_FALSE(enable_privilege(L"SeNoSuchPrivilege", &errors));
  EXPECT_TRUE(enable_privilege(L"SeManageVolumePrivilege", &errors));
  EXPECT_FALSE(enable_privilege(L"SeCreateTokenPrivilege", &errors));
  EXPECT_EQ(errors.lines(), (std::vector<std::string>{"LookupPrivilegeValue 1313 [SeNoSuchPrivilege]",
                                                      "AdjustTokenPrivileges 1300 [SeCreateTokenPrivilege]"}));
}

TEST(shell_launch, starts_a_program_and_reports_a_missing_one_per_verb) {
  recorded_errors errors;
  EXPECT_TRUE(shell_launch(system_program(L"cmd.exe"), L"/c rem", false, &errors));
  EXPECT_TRUE(shell_launch(system_program(L"cmd.exe"), L"/c rem", true, &errors));
  const std::wstring missing = system_program(L"folvi-missing.exe");
  EXPECT_FALSE(shell_launch(missing, L"--console --elevating", true, &errors));
  EXPECT_FALSE(shell_launch(missing, L"", false, &errors));
  EXPECT_FALSE(shell_launch(missing, L"", false, nullptr));
  const std::string path = to_utf8(missing);
  EXPECT_EQ(errors.lines(), (std::vector<std::string>{"ShellExecuteEx[runas] 2 [" + path + " --console --elevating]",
                                                      "ShellExecuteEx[-] 2 [" + path + " ]"}));
}
