#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <numeric>

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

// The value as the table's line writes it (none, TYPE NUMBER, or the dialog's result remembered),
// in a key of this test's own: what the prompt then does.
TEST(share_prompt, ask_for_results_cases) {
  const wchar_t* key = L"Software\\FolviBench-share-prompt-test";
  expect_table("share/ask_for_results.txt", [&](const std::string& question) {
    RegDeleteKeyW(HKEY_CURRENT_USER, key);
    const std::vector<std::string> w = words(question);
    std::string text;
    if (w[0] == "result") {
      const share_answer a = share_answer_of(std::stoi(w[1]));
      text = std::string(a == share_answer::share     ? "share"
                         : a == share_answer::decline ? "decline"
                                                      : "not shown") +
             ", remembered " + std::to_string(remember_share_answer(a, key)) + ", ";
    } else if (w[0] != "none") {
      const uint64_t number = std::stoull(w[1]);
      const std::wstring digits = from_utf8(w[1]);
      const DWORD type = w[0] == "sz" ? REG_SZ : w[0] == "qword" ? REG_QWORD : REG_DWORD;
      const DWORD size = w[0] == "qword" ? 8 : w[0] == "dword-short" ? 2 : 4;
      EXPECT_TRUE(reg_write_value(key, ask_for_results_value, type,
                                  type == REG_SZ ? (const void*)digits.c_str() : &number, size, wow64_view(), nullptr));
    }
    std::string data;
    if (reg_read_value(HKEY_CURRENT_USER, key, ask_for_results_value, REG_DWORD, data, wow64_view(), nullptr))
      text += "a DWORD of " + std::to_string(data.size()) + " bytes summing to " +
              std::to_string(std::accumulate(data.begin(), data.end(), 0)) + ", ";
    return text + (share_prompt_allowed(key) ? "allowed" : "declined");
  });
  RegDeleteKeyW(HKEY_CURRENT_USER, key);
}
