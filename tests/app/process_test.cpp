#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/elevation.h"
#include "app/shell_launch.h"
#include "support/scoped_win.h"
#include "support/text.h"

namespace {
struct capture {
  capturing_logger* log = new capturing_logger;
  api_error_logger errors{log};
  capture() { log->set_keep_prefix(true); }
  ~capture() { log->release(); }
};

std::wstring system_program(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
  return std::wstring(dir, n) + L"\\" + name;
}

// A privilege this process's token does not hold at all, or empty when it holds them all.
std::wstring privilege_not_held() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return L"";
  scoped_handle token(raw);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenPrivileges, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  if (!GetTokenInformation(token.get(), TokenPrivileges, buffer.data(), size, &size)) return L"";
  const auto* held = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
  for (const wchar_t* name : {L"SeCreateTokenPrivilege", L"SeTcbPrivilege", L"SeTrustedCredManAccessPrivilege",
                              L"SeRelabelPrivilege", L"SeLockMemoryPrivilege", L"SeUnsolicitedInputPrivilege"}) {
    LUID luid{};
    if (!LookupPrivilegeValueW(nullptr, name, &luid)) continue;
    bool found = false;
    for (DWORD i = 0; i < held->PrivilegeCount; ++i)
      found |= held->Privileges[i].Luid.LowPart == luid.LowPart && held->Privileges[i].Luid.HighPart == luid.HighPart;
    if (!found) return name;
  }
  return L"";
}
}  // namespace

TEST(app_context, version_of_the_test_program) {
  app_context context;
  ASSERT_TRUE(context.read_version());
  EXPECT_EQ(context.version.full(), FOLVI_EXPECTED_VERSION);
}

// A name the system does not know, one the token holds and one it lacks (if any).
TEST(enable_privilege, unknown_held_and_lacking) {
  capture c;
  EXPECT_FALSE(enable_privilege(L"SeNoSuchPrivilege", &c.errors));
  EXPECT_TRUE(enable_privilege(L"SeManageVolumePrivilege", &c.errors));
  EXPECT_EQ(c.log->lines(), std::vector<std::string>{"0 LookupPrivilegeValue() failed with 1313, SeNoSuchPrivilege\n"});
  const std::wstring name = privilege_not_held();
  if (name.empty()) GTEST_SKIP() << "the token holds every privilege tried";
  EXPECT_FALSE(enable_privilege(name.c_str(), &c.errors));
  EXPECT_EQ(c.errors.last_error().api, "AdjustTokenPrivileges");
  EXPECT_EQ(c.errors.last_error().code, 1300u);
}

TEST(shell_launch, starts_a_program_and_reports_a_missing_one_per_verb) {
  capture c;
  EXPECT_TRUE(shell_launch(system_program(L"cmd.exe"), L"/c rem", false, &c.errors));
  EXPECT_TRUE(shell_launch(system_program(L"cmd.exe"), L"/c rem", true, &c.errors));
  const std::wstring missing = system_program(L"folvi-missing.exe");
  EXPECT_FALSE(shell_launch(missing, L"--console --elevating", true, &c.errors));
  EXPECT_FALSE(shell_launch(missing, L"", false, &c.errors));
  EXPECT_FALSE(shell_launch(missing, L"", false, nullptr));
  const std::string path = to_utf8(missing);
  EXPECT_EQ(c.log->lines(),
            (std::vector<std::string>{"0 ShellExecuteEx[runas]() failed with 2, " + path + " --console --elevating\n",
                                      "0 ShellExecuteEx[-]() failed with 2, " + path + " \n"}));
}
