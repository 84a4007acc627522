#include "bench/test_file.h"

#include <gtest/gtest.h>

#include "bench/io_file.h"
#include "engine_support.h"
#include "support/text.h"

TEST(test_file, names) {
  EXPECT_EQ(test_file_name(L"D:\\"), L"D:\\~folvi-benchmark.tmp");
  EXPECT_EQ(test_file_name(L"D:\\bench"), L"D:\\bench\\~folvi-benchmark.tmp");
  EXPECT_EQ(test_file_name(L"D:/bench/"), L"D:/bench/~folvi-benchmark.tmp");
}

TEST(test_file, chunks_progress_and_log) {
  scratch_dir dir(L"create_chunks");
  test_def d = small_profile(dir.path());
  d.file_size = 3 * 16 * MiB + 4096;
  d.init_time_factor = 0;
  recording_runner cb;
  captured_log log;
  const std::wstring name = test_file_name(dir.path());
  ASSERT_TRUE(create_test_file(name, d, test_sector_size, cb, *log.log, nullptr));
  const uint64_t S = d.file_size;
  EXPECT_EQ(cb.progress, (std::vector<std::pair<uint64_t, uint64_t>>{
                             {0, S}, {16 * MiB, S}, {32 * MiB, S}, {48 * MiB, S}, {S, S}, {S, S}}));
  io_file f;
  ASSERT_TRUE(f.open(name, GENERIC_READ, 0, OPEN_EXISTING, 0, nullptr));
  uint64_t size = 0;
  ASSERT_TRUE(f.get_size(size));
  EXPECT_EQ(size, S);
  f.close();
  EXPECT_EQ(log.text(), "3 Creating test file " + to_utf8(name) + " of 50335744 bytes, fill = [random] ...\n" +
                            "3 Created, size 50335744\n");
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

TEST(test_file, empty_and_extend) {
  scratch_dir dir(L"create_empty");
  const std::wstring name = test_file_name(dir.path());
  test_def d = small_profile(dir.path());
  d.file_size = 0;
  recording_runner cb;
  captured_log log;
  ASSERT_TRUE(create_test_file(name, d, test_sector_size, cb, *log.log, nullptr));
  EXPECT_EQ(cb.progress, (std::vector<std::pair<uint64_t, uint64_t>>{{0, 0}, {0, 0}}));
  EXPECT_EQ(size_of(name), 0u);

  // "extend" sets the length and the valid data without writing, which needs the volume privilege.
  d.file_size = 64 * MiB;
  d.fill = 4;
  ASSERT_TRUE(set_privilege(L"SeManageVolumePrivilege", false));
  recording_runner refused;
  captured_log refused_log;
  api_error_logger errors(refused_log.log);
  EXPECT_FALSE(create_test_file(name, d, test_sector_size, refused, *refused_log.log, &errors));
  EXPECT_EQ(refused_log.text(), "3 Creating test file " + to_utf8(name) + " of 67108864 bytes, fill = [extend] ...\n" +
                                    "0 SetFileValidData() failed with 1314, 67108864\n");

  if (!set_privilege(L"SeManageVolumePrivilege", true)) GTEST_SKIP() << "the token lacks SeManageVolumePrivilege";
  recording_runner extended;
  ASSERT_TRUE(create_test_file(name, d, test_sector_size, extended, *log.log, &errors));
  EXPECT_EQ(extended.progress, (std::vector<std::pair<uint64_t, uint64_t>>{{0, 64 * MiB}, {64 * MiB, 64 * MiB}}));
  EXPECT_EQ(size_of(name), 64 * MiB);
}

TEST(test_file, size_rounded_to_whole_sectors) {
  scratch_dir dir(L"create_sectors");
  const std::wstring name = test_file_name(dir.path());
  struct {
    uint64_t asked, made;
  } rows[] = {{2 * MiB + 1000, 2 * MiB}, {1000, 4096}, {16 * MiB + 4096, 16 * MiB + 4096}};
  for (const auto& r : rows) {
    test_def d = small_profile(dir.path());
    d.file_size = r.asked;
    d.init_time_factor = 0;
    recording_runner cb;
    captured_log log;
    api_error_logger errors(log.log);
    ASSERT_TRUE(create_test_file(name, d, test_sector_size, cb, *log.log, &errors)) << r.asked << "\n" << log.text();
    EXPECT_EQ(size_of(name), r.made);
    EXPECT_EQ(cb.progress.back(), std::make_pair(r.made, r.made));
    EXPECT_NE(log.text().find(" of " + std::to_string(r.made) + " bytes, fill"), std::string::npos) << log.text();
  }
}
