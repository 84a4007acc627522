#include <windows.h>

#include <gtest/gtest.h>

#include "recorded_errors.h"
#include "scratch_dir.h"
#include "support/api_error.h"
#include "results/report_actions.h"
#include "results/report_files_api.h"

namespace {

std::string read_all(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string text(GetFileSize(h, nullptr), '\0');
  DWORD n = 0;
  if (!text.empty()) ReadFile(h, &text[0], DWORD(text.size()), &n, nullptr);
  CloseHandle(h);
  text.resize(n);
  return text;
}

TEST(report_files_win, new_files_replacing_and_removing) {
  const scratch_dir s(L"folvi A&B report files");  // a blank and an ampersand in its name
  recorded_errors errors;
  std::unique_ptr<report_files_api> files = make_win32_report_files(&errors);
  const std::wstring target = s.path() + L"\\report.folvi.txt";
  const std::wstring temp = target + L"-00010002.tmp";

  EXPECT_EQ(files->create_new(target, "old"), create_result::created);
  EXPECT_EQ(files->create_new(target, "other"), create_result::exists) << "never an existing file";
  EXPECT_EQ(read_all(target), "old");
  EXPECT_TRUE(files->exists(target));

  EXPECT_EQ(files->create_new(temp, std::string(3 << 20, 'x')), create_result::created);
  EXPECT_TRUE(files->replace(temp, target));
  EXPECT_EQ(read_all(target).size(), 3u << 20);
  EXPECT_FALSE(file_exists(temp));

  // A target that cannot be replaced (another program holds it) keeps its content; the new file
  // stays for the caller to remove.
  ASSERT_EQ(files->create_new(temp, "new"), create_result::created);
  HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(files->replace(temp, target));
  EXPECT_EQ(errors.last().api, "MoveFileEx");
  CloseHandle(held);
  EXPECT_EQ(read_all(target).size(), 3u << 20);
  EXPECT_TRUE(files->remove(temp));
  EXPECT_FALSE(files->remove(temp));
  EXPECT_EQ(errors.last().api, "DeleteFile");
  EXPECT_EQ(errors.last().code, uint32_t(ERROR_FILE_NOT_FOUND));

  EXPECT_EQ(files->create_new(s.path() + L"\\no such folder\\x.txt", "x"), create_result::failed);
  EXPECT_EQ(errors.last().api, "CreateFile");
}

TEST(report_files_win, folders_and_the_command_processor) {
  const scratch_dir s(L"folvi A&B report files");  // a blank and an ampersand in its name
  recorded_errors errors;
  std::unique_ptr<report_files_api> files = make_win32_report_files(&errors);
  std::wstring temp, system, windows;
  ASSERT_TRUE(files->temp_folder(temp));
  EXPECT_EQ(temp.back(), L'\\');
  ASSERT_TRUE(files->system_folder(system));
  ASSERT_TRUE(files->windows_folder(windows));
  EXPECT_NE(system.back(), L'\\');
  EXPECT_TRUE(file_exists(system + L"\\cmd.exe"));
  EXPECT_TRUE(file_exists(windows + L"\\notepad.exe"));
  EXPECT_LE(files->random_number(), 0x7FFFu);
  EXPECT_LE(files->tick_count(), 0xFFFFu);

  // The Notepad command with a quick program in Notepad's place: the file in a folder with a
  // blank and an ampersand is shown, then deleted.
  const std::wstring file = s.path() + L"\\folvi-report-0001beef.txt";
  ASSERT_EQ(files->create_new(file, "\xEF\xBB\xBFreport"), create_result::created);
  ASSERT_TRUE(files->launch_hidden(system + L"\\cmd.exe", notepad_parameters(system + L"\\attrib.exe", file), system));
  for (int i = 0; i < 30000 && file_exists(file); ++i) Sleep(1);
  EXPECT_FALSE(file_exists(file));

  EXPECT_FALSE(files->launch_hidden(s.path() + L"\\missing.exe", L"", system));
  EXPECT_EQ(errors.last().api, "ShellExecuteEx[-]");
}

}  // namespace
