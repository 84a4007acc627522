#include "bench/test_file.h"

#include <gtest/gtest.h>

#include "bench/io_file.h"
#include "engine_support.h"
#include "golden.h"
#include "support/text.h"

TEST(test_file, names) {
  EXPECT_EQ(test_file_name(L"D:\\"), L"D:\\~folvi-benchmark.tmp");
  EXPECT_EQ(test_file_name(L"D:\\bench"), L"D:\\bench\\~folvi-benchmark.tmp");
  EXPECT_EQ(test_file_name(L"D:/bench/"), L"D:/bench/~folvi-benchmark.tmp");
}

bool set_privilege(const wchar_t* name, bool enable) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  TOKEN_PRIVILEGES tp{};
  tp.PrivilegeCount = 1;
  tp.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
  const bool ok = LookupPrivilegeValueW(nullptr, name, &tp.Privileges[0].Luid) &&
                  AdjustTokenPrivileges(token, FALSE, &tp, sizeof tp, nullptr, nullptr) &&
                  GetLastError() == ERROR_SUCCESS;
  CloseHandle(token);
  return ok;
}

uint64_t size_of(const std::wstring& path) {
  io_file f;
  uint64_t size = 0;
  if (!f.open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0, nullptr) || !f.get_size(size)) return ~0ull;
  return size;
}

// The progress reports, the file's size and the log of test files asked for in 16 MiB chunks and a
// bit, empty, and of sizes that are not whole 4,096-byte sectors (rounded to the nearer whole
// sector, one at least); "extend" without the volume privilege fails and says so.
TEST(test_file, chunks_progress_sizes_and_log) {
  scratch_dir dir(L"create_cases");
  const std::wstring name = test_file_name(dir.path());
  ASSERT_TRUE(set_privilege(L"SeManageVolumePrivilege", false));
  std::string out;
  for (const auto& [size, fill] : std::vector<std::pair<uint64_t, uint32_t>>{
           {3 * 16 * MiB + 4096, 3}, {0, 3}, {2 * MiB + 1000, 3}, {1000, 3}, {64 * MiB, 4}}) {
    test_def d = small_profile(dir.path());
    d.file_size = size;
    d.fill = fill;
    d.init_time_factor = 0;
    recording_runner cb;
    captured_log log;
    api_error_logger errors(log.log);
    const bool ok = create_test_file(name, d, test_sector_size, cb, *log.log, &errors);
    out += "--- " + std::to_string(size) + " bytes, fill " + std::to_string(fill) + ": ok " + std::to_string(ok) +
           ", size " + (ok ? std::to_string(size_of(name)) : "-") + ", progress";
    for (const auto& [done, total] : cb.progress) out += " " + std::to_string(done) + "/" + std::to_string(total);
    out += "\n" + log.text();
  }
  const std::string dir_text = to_utf8(dir.path());
  for (size_t at; (at = out.find(dir_text)) != std::string::npos;) out.replace(at, dir_text.size(), "<dir>");
  expect_golden(out, "bench/test_files.txt");
}

TEST(test_file, time_limit_stops_after_a_chunk) {
  scratch_dir dir(L"create_limited");
  test_def d = small_profile(dir.path());
  d.file_size = 256 * MiB;
  d.duration = 1;
  d.init_time_factor = 1;
  recording_runner cb;
  captured_log log;
  ASSERT_TRUE(create_test_file(test_file_name(dir.path()), d, test_sector_size, cb, *log.log, nullptr));
  const uint64_t final_size = cb.progress.back().first;
  EXPECT_EQ(final_size % (16 * MiB), 0u);
  EXPECT_LT(final_size, d.file_size);
  EXPECT_EQ(cb.progress.size(), final_size / (16 * MiB) + 2);
  EXPECT_NE(log.text().find("3 Created, size " + std::to_string(final_size) + "\n"), std::string::npos);
}

// "extend" sets the length and the valid data without writing, which needs the volume privilege.
TEST(test_file, extend_with_the_volume_privilege) {
  scratch_dir dir(L"create_extend");
  const std::wstring name = test_file_name(dir.path());
  test_def d = small_profile(dir.path());
  d.file_size = 64 * MiB;
  d.fill = 4;
  if (!set_privilege(L"SeManageVolumePrivilege", true)) GTEST_SKIP() << "the token lacks SeManageVolumePrivilege";
  recording_runner extended;
  captured_log log;
  ASSERT_TRUE(create_test_file(name, d, test_sector_size, extended, *log.log, nullptr));
  EXPECT_EQ(extended.progress, (std::vector<std::pair<uint64_t, uint64_t>>{{0, 64 * MiB}, {64 * MiB, 64 * MiB}}));
  EXPECT_EQ(size_of(name), 64 * MiB);
}
