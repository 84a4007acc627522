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

void expect_table(const std::string& name, const std::function<std::string(const std::string&)>& answer) {
  const std::string table = test_data_text(name);
  ASSERT_FALSE(table.empty()) << "no table tests/data/" << name;
  std::string out;
  for (size_t at = 0; at < table.size();) {
    size_t end = table.find('\n', at);
    end = end == std::string::npos ? table.size() : end + 1;
    const std::string line = table.substr(at, end - at);
    const size_t arrow = line.find(" => ");
    out += arrow == std::string::npos ? line : line.substr(0, arrow + 4) + answer(line.substr(0, arrow)) + "\n";
    at = end;
  }
  expect_golden(out, name);
}

std::vector<std::string> words(const std::string& text) {
  std::vector<std::string> out(1);
  for (char c : text)
    if (c == ' ') out.emplace_back();
    else out.back() += c;
  return out;
}

void expect_cases(const std::string& name, const std::function<std::string(const std::string&)>& run) {
  const std::string cases = test_data_text(name);
  ASSERT_FALSE(cases.empty()) << "no cases tests/data/" << name;
  std::string out;
  for (size_t at = 0; (at = cases.find("--- ", at)) != std::string::npos;) {
    if (at > 0 && cases[at - 1] != '\n') {
      at += 4;
      continue;
    }
    const size_t end = cases.find('\n', at);
    const std::string spec = cases.substr(at + 4, end - at - 4);
    out += "--- " + spec + "\n" + run(spec);
    at = end;
  }
  expect_golden(out, name);
}

std::string spec_value(const std::string& spec, const std::string& key, const std::string& otherwise) {
  for (const std::string& w : words(spec))
    if (w.compare(0, key.size() + 1, key + "=") == 0) return w.substr(key.size() + 1);
  return otherwise;
}
