#include <gtest/gtest.h>
#include <windows.h>

#include "share/share_prompt.h"
#include "share/share_prompt_layout.h"
#include "share/share_host.h"
#include "support/registry.h"

std::string host_text(const share_host& s) {
  return s.host + ":" + std::to_string(s.port) + (s.tls ? " tls" : " plain");
}

TEST(share_host, build_setting_version_and_overrides) {
  const struct {
    int os_index;
    const wchar_t *host, *port, *tls;
    const char* resolved;
  } cases[] = {
      {12, nullptr, nullptr, nullptr, "built.in:443 tls"},
      {4, nullptr, nullptr, nullptr, "built.in:443 tls"},  // Vista
      {3, nullptr, nullptr, nullptr, "built.in:80 plain"},
      {12, L"localhost", L"8443", L"1", "localhost:8443 tls"},
      {12, L"127.0.0.1", nullptr, L"0", "127.0.0.1:80 plain"},  // the default port follows the scheme
      {1, L"", L"65535", L"1", "built.in:65535 tls"},
      // Texts that do not parse change nothing.
      {12, nullptr, L"0", L"yes", "built.in:443 tls"},
      {12, nullptr, L"65536", L"yes", "built.in:443 tls"},
      {12, nullptr, L"80x", L"yes", "built.in:443 tls"},
      {12, nullptr, L"-1", L"yes", "built.in:443 tls"},
      {12, nullptr, L"", L"yes", "built.in:443 tls"},
      {12, nullptr, L" 80", L"yes", "built.in:443 tls"},
      {12, nullptr, L"99999999999999999999", L"yes", "built.in:443 tls"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(host_text(resolve_share_host("built.in", c.os_index, c.host, c.port, c.tls)), c.resolved) << c.resolved;

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

TEST(share_prompt, layout_follows_the_text) {
  ASSERT_EQ(share_prompt_anchor_count, 7);
  const RECT r{10, 20, 110, 40};
  for (int i = 0; i < share_prompt_anchor_count; ++i) {
    const control_anchor& a = share_prompt_anchors[i];
    RECT m = move_by_anchor(r, a, 30, -15);
    if (a.control_id == IDOK || a.control_id == IDCANCEL) {  // centred, below the text
      EXPECT_EQ(m.left, 25);
      EXPECT_EQ(m.right, 125);
      EXPECT_EQ(m.top, 5);
    } else {
      EXPECT_EQ(m.left, 10) << a.control_id;  // left edges stay, right edges follow the width
      EXPECT_EQ(m.right, 140) << a.control_id;
    }
  }
}
