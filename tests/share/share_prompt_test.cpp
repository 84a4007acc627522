#include <gtest/gtest.h>
#include <windows.h>

#include "share/share_prompt.h"
#include "share/share_prompt_layout.h"
#include "share/share_host.h"
#include "support/registry.h"

TEST(share_host, build_setting_version_and_overrides) {
  share_host s = resolve_share_host("built.in", 12, nullptr, nullptr, nullptr);
  EXPECT_EQ(s.host, "built.in");
  EXPECT_EQ(s.port, 443);
  EXPECT_TRUE(s.tls);
  s = resolve_share_host("built.in", 4, nullptr, nullptr, nullptr);
  EXPECT_TRUE(s.tls);  // Vista
  s = resolve_share_host("built.in", 3, nullptr, nullptr, nullptr);
  EXPECT_FALSE(s.tls);
  EXPECT_EQ(s.port, 80);

  s = resolve_share_host("built.in", 12, L"localhost", L"8443", L"1");
  EXPECT_EQ(s.host, "localhost");
  EXPECT_EQ(s.port, 8443);
  EXPECT_TRUE(s.tls);
  s = resolve_share_host("built.in", 12, L"127.0.0.1", nullptr, L"0");
  EXPECT_EQ(s.port, 80);  // the default port follows the scheme
  EXPECT_FALSE(s.tls);
  s = resolve_share_host("built.in", 1, L"", L"65535", L"1");
  EXPECT_EQ(s.host, "built.in");
  EXPECT_EQ(s.port, 65535);
  EXPECT_TRUE(s.tls);
  // Texts that do not parse change nothing.
  for (const wchar_t* bad : {L"0", L"65536", L"80x", L"-1", L"", L" 80", L"99999999999999999999"}) {
    s = resolve_share_host("built.in", 12, nullptr, bad, L"yes");
    EXPECT_EQ(s.port, 443) << bad;
    EXPECT_TRUE(s.tls);
  }

  EXPECT_STRNE(built_in_share_host(), "");
  SetEnvironmentVariableW(L"FOLVI_SHARE_HOST", L"share.test");
  SetEnvironmentVariableW(L"FOLVI_SHARE_PORT", L"8080");
  SetEnvironmentVariableW(L"FOLVI_SHARE_TLS", L"0");
  s = current_share_host();
  EXPECT_EQ(s.host, "share.test");
  EXPECT_EQ(s.port, 8080);
  EXPECT_FALSE(s.tls);
  SetEnvironmentVariableW(L"FOLVI_SHARE_HOST", nullptr);
  SetEnvironmentVariableW(L"FOLVI_SHARE_PORT", nullptr);
  SetEnvironmentVariableW(L"FOLVI_SHARE_TLS", nullptr);
  s = current_share_host();
  EXPECT_EQ(s.host, built_in_share_host());
  EXPECT_EQ(s.port, 443);  // the test prefix reports Windows 10
  EXPECT_TRUE(s.tls);
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
