#include "golden.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/text.h"

namespace {

bool read_file(const std::wstring& path, std::string& text) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  char buffer[65536];
  DWORD n = 0;
  text.clear();
  while (ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n) text.append(buffer, n);
  CloseHandle(h);
  return true;
}

bool write_file(const std::wstring& path, const std::string& text) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD n = 0;
  const bool ok = WriteFile(h, text.data(), DWORD(text.size()), &n, nullptr) && n == text.size();
  return CloseHandle(h) && ok;
}
}  // namespace

std::wstring test_data_path(const std::string& name) {
  std::wstring path = L"Z:" + from_utf8(FOLVI_TEST_DATA_DIR "/" + name);
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

std::string test_data_text(const std::string& name) {
  std::string text;
  read_file(test_data_path(name), text);
  return text;
}

void expect_golden(const std::string& actual, const std::string& name) {
  const std::wstring path = test_data_path(name);
  const char* rewrite = std::getenv("FOLVI_REWRITE_GOLDENS");
  if (rewrite && std::string(rewrite) == "1") {
    EXPECT_TRUE(write_file(path, actual)) << "cannot write tests/data/" << name;
    return;
  }
  std::string expected;
  ASSERT_TRUE(read_file(path, expected)) << "no golden tests/data/" << name << " (FOLVI_REWRITE_GOLDENS=1 writes it)";
  EXPECT_EQ(actual, expected) << "differs from tests/data/" << name << " (FOLVI_REWRITE_GOLDENS=1 rewrites it)";
}
