#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "golden.h"

#include "share/share_prompt.h"
#include "share/share_host.h"
#include "support/registry.h"
#include "support/text.h"

std::string host_text(const share_host& s) {
  return s.host + ":" + std::to_string(s.port) + (s.tls ? " tls" : " plain");
}

// The table's os=INDEX host= port= tls= (absent: not set; "_" stands for a blank).
TEST(share_host, build_setting_version_and_overrides) {
  expect_table("share/share_hosts.txt", [](const std::string& question) {
    std::wstring given[3];
    const wchar_t* set[3] = {};
    for (int i : {0, 1, 2}) {
      std::string v = spec_value(question, std::vector<std::string>{"host", "port", "tls"}[i], "absent");
      std::replace(v.begin(), v.end(), '_', ' ');
      if (v != "absent") given[i] = from_utf8(v), set[i] = given[i].c_str();
    }
    return host_text(resolve_share_host("built.in", std::stoi(spec_value(question, "os")), set[0], set[1], set[2]));
  });
  EXPECT_STRNE(built_in_share_host(), "");
  SetEnvironmentVariableW(L"FOLVI_SHARE_HOST", L"share.test");
  SetEnvironmentVariableW(L"FOLVI_SHARE_PORT", L"8080");
  SetEnvironmentVariableW(L"FOLVI_SHARE_TLS", L"0");
  EXPECT_EQ(host_text(current_share_host()), "share.test:8080 plain");
  SetEnvironmentVariableW(L"FOLVI_SHARE_HOST", nullptr);
  SetEnvironmentVariableW(L"FOLVI_SHARE_PORT", nullptr);
  SetEnvironmentVariableW(L"FOLVI_SHARE_TLS", nullptr);
  // the test prefix reports Windows 10
  EXPECT_EQ(host_text(current_share_host()), std::string(built_in_share_host()) + ":443 tls");
}

TEST(share_prompt, ask_for_results_cases) {
  // A key of this test's own, so that nothing else in the prefix is disturbed.
  const wchar_t* key = L"Software\\FolviBench-share-prompt-test";
  RegDeleteKeyW(HKEY_CURRENT_USER, key);
  auto write = [&](DWORD type, const void* data, DWORD size) {
    ASSERT_TRUE(reg_write_value(key, ask_for_results_value, type, data, size, wow64_view(), nullptr));
  };
  EXPECT_TRUE(share_prompt_allowed(key));  // no key at all

  const DWORD zero = 0, one = 1;
  write(REG_DWORD, &one, 4);
  EXPECT_TRUE(share_prompt_allowed(key));
  write(REG_SZ, L"0", 4);
  EXPECT_TRUE(share_prompt_allowed(key));  // wrong type
  write(REG_DWORD, &zero, 2);
  EXPECT_TRUE(share_prompt_allowed(key));  // wrong size
  const unsigned long long zero64 = 0;
  write(REG_QWORD, &zero64, 8);
  EXPECT_TRUE(share_prompt_allowed(key));
  write(REG_DWORD, &zero, 4);
  EXPECT_FALSE(share_prompt_allowed(key));

  // Only a real answer of the user is remembered, and only a decline.
  write(REG_DWORD, &one, 4);
  EXPECT_EQ(share_answer_of(1), share_answer::share);
  EXPECT_EQ(share_answer_of(2), share_answer::decline);
  EXPECT_EQ(share_answer_of(0), share_answer::decline);
  EXPECT_EQ(share_answer_of(-1), share_answer::not_shown);
  EXPECT_FALSE(remember_share_answer(share_answer::share, key));
  EXPECT_FALSE(remember_share_answer(share_answer::not_shown, key));
  EXPECT_TRUE(share_prompt_allowed(key));
  RegDeleteKeyW(HKEY_CURRENT_USER, key);
  EXPECT_TRUE(remember_share_answer(share_answer::decline, key));  // creates the key
  std::string data;
  ASSERT_TRUE(reg_read_value(HKEY_CURRENT_USER, key, ask_for_results_value, REG_DWORD, data, wow64_view(), nullptr));
  EXPECT_EQ(data, std::string(4, '\0'));
  EXPECT_FALSE(share_prompt_allowed(key));
  RegDeleteKeyW(HKEY_CURRENT_USER, key);
}
