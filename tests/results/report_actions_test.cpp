#include "results/report_actions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "report_files_fake.h"
#include "support/message_box_flags.h"

namespace {

struct prompt_log final : user_prompt_cb {
  std::vector<std::wstring> texts;
  std::vector<uint32_t> flags;
  int answer = 6;
  bool save = true;
  std::wstring path = L"D:\\out\\r.folvi.txt";
  save_request request;
  int message_box(const std::wstring& text, uint32_t& f, const std::wstring& caption) override {
    EXPECT_EQ(caption, L"");
    texts.push_back(text);
    flags.push_back(f);
    return answer;
  }
  bool choose_save_path(const save_request& r, std::wstring& p) override {
    request = r;
    p = path;
    return save;
  }
};

const std::string bom = "\xEF\xBB\xBF";

TEST(report_actions, location_parts_and_file_names) {
  const struct {
    const wchar_t* location;
    const wchar_t* part;
  } rows[] = {
      {L"C:\\", L"Drive C"},
      {L"c:/", L"Drive c"},
      {L"\\\\server\\share\\", L"server_share"},
      {L"\\\\server\\share\\dir", L"server_share_dir"},
      {L"D:\\tests", L"D_tests"},
      {L"D:\\tests\\deeper\\\\", L"D_tests_deeper"},
      {L"E:/bench/x/", L"E_bench_x"},
      {L"\\\\?\\Volume{0b1f}\\", L"__Volume{0b1f}"},
      {L"", L""},
  };
  for (const auto& r : rows) EXPECT_EQ(report_location_part(r.location), r.part) << r.location;

  SYSTEMTIME t{2024, 1, 3, 31, 9, 5, 0, 0};
  EXPECT_EQ(default_report_name(t, L"C:\\"), L"FOLVI Report (2024-01-31 09-05) - Drive C.folvi.txt");
  EXPECT_EQ(default_report_name(t, L"\\\\server\\share\\"),
            L"FOLVI Report (2024-01-31 09-05) - server_share.folvi.txt");

  EXPECT_EQ(notepad_file_name(L"C:\\T\\", L"folvi-report", 0x7FFF, 0x1BEEF), L"C:\\T\\folvi-report-7fffbeef.txt");
  EXPECT_EQ(notepad_parameters(L"C:\\windows\\notepad.exe", L"C:\\Users\\A&B\\x.txt"),
            L"/c \"\"C:\\windows\\notepad.exe\" \"C:\\Users\\A&B\\x.txt\" & del \"C:\\Users\\A&B\\x.txt\"\"");
  EXPECT_EQ(with_byte_order_mark("a\r\n"), bom + "a\r\n");
}

TEST(report_actions, viewing_in_notepad) {
  fake_files files;
  prompt_log prompt;
  ASSERT_TRUE(view_text_in_notepad(files, prompt, "report\r\n", L"folvi-report"));
  const std::wstring file = L"C:\\Users\\A&B Smith\\Temp\\folvi-report-1234beef.txt";
  EXPECT_EQ(files.disk[file], bom + "report\r\n");
  EXPECT_EQ(files.launched_program, L"C:\\windows\\system32\\cmd.exe");
  EXPECT_EQ(files.launched_folder, L"C:\\windows\\system32");
  EXPECT_EQ(files.launched_parameters, notepad_parameters(L"C:\\windows\\notepad.exe", file));
  EXPECT_EQ(files.calls,
            (std::vector<std::string>{"create C:\\Users\\A&B Smith\\Temp\\folvi-report-1234beef.txt", "change settings",
                                      "launch with settings", "pause 1000", "restore settings"}));
  EXPECT_TRUE(prompt.texts.empty());

  // A name another file holds: new digits.
  files = fake_files();
  files.taken.insert(file);
  ASSERT_TRUE(view_text_in_notepad(files, prompt, "r", L"folvi-report"));
  EXPECT_TRUE(files.disk.count(L"C:\\Users\\A&B Smith\\Temp\\folvi-report-1235beef.txt"));
}

TEST(report_actions, viewing_failures_tell_the_user_and_leave_nothing) {
  for (int failing = 0; failing < 5; ++failing) {
    fake_files files;
    prompt_log prompt;
    switch (failing) {
      case 0: files.temp_ok = false; break;
      case 1: files.create_fails_after = 0; break;
      case 2: files.launch_ok = false; break;
      case 3: files.system_ok = false; break;
      case 4: files.windows_ok = false; break;
    }
    EXPECT_FALSE(view_text_in_notepad(files, prompt, "r", L"folvi-report")) << failing;
    ASSERT_EQ(prompt.texts.size(), 1u);
    EXPECT_EQ(prompt.texts[0],
              failing < 2 ? L"Failed to save report in a temporary file" : L"Failed to open report in Notepad");
    EXPECT_EQ(prompt.flags[0], mb_icon_error | mb_ok);
    EXPECT_TRUE(files.disk.empty()) << "the temporary file is gone";
    EXPECT_FALSE(files.settings_changed) << "Notepad's settings are back before the message";
    if (failing < 2) {
      EXPECT_EQ(std::count(files.calls.begin(), files.calls.end(), "change settings"), 0);
    }
  }
  // Every name taken: a clear failure, not an endless loop.
  fake_files files;
  prompt_log prompt;
  for (unsigned r = 0x1234; r < 0x1234 + 100; ++r)
    files.taken.insert(notepad_file_name(L"C:\\Users\\A&B Smith\\Temp\\", L"s", r, 0xBEEF));
  EXPECT_FALSE(view_text_in_notepad(files, prompt, "r", L"s"));
  EXPECT_EQ(prompt.texts.size(), 1u);
}

TEST(report_actions, saving) {
  SYSTEMTIME t{2024, 1, 3, 31, 9, 5, 0, 0};
  const std::wstring target = L"D:\\out\\r.folvi.txt";
  {
    fake_files files;
    prompt_log prompt;
    ASSERT_TRUE(save_report_as(files, prompt, "new\r\n", t, L"D:\\out\\"));
    EXPECT_EQ(prompt.request.title, L"Save report as...");
    EXPECT_EQ(prompt.request.filter, L"FOLVI Report (*.folvi.txt)|*.folvi.txt|All files (*.*)|*.*");
    EXPECT_EQ(prompt.request.default_name, L"FOLVI Report (2024-01-31 09-05) - D_out.folvi.txt");
    EXPECT_EQ(files.disk.size(), 1u);
    EXPECT_EQ(files.disk[target], bom + "new\r\n");
    EXPECT_EQ(files.calls.back(), "replace D:\\out\\r.folvi.txt-1234beef.tmp -> D:\\out\\r.folvi.txt");
    EXPECT_TRUE(prompt.texts.empty());
  }
  {  // Cancelled: nothing at all.
    fake_files files;
    prompt_log prompt;
    prompt.save = false;
    EXPECT_FALSE(save_report_as(files, prompt, "new", t, L"C:\\"));
    EXPECT_TRUE(files.calls.empty());
    EXPECT_TRUE(prompt.texts.empty());
  }
  {  // An existing file: asked first; No keeps it.
    fake_files files;
    files.disk[target] = "old";
    prompt_log prompt;
    prompt.answer = 7;
    EXPECT_FALSE(save_report_as(files, prompt, "new", t, L"C:\\"));
    ASSERT_EQ(prompt.texts.size(), 1u);
    EXPECT_EQ(prompt.texts[0], target + L" already exists.\nDo you want to replace it?");
    EXPECT_EQ(prompt.flags[0], mb_default_second | mb_icon_warning | mb_yes_no);
    EXPECT_EQ(files.disk[target], "old");
    prompt.answer = 6;
    EXPECT_TRUE(save_report_as(files, prompt, "new", t, L"C:\\"));
    EXPECT_EQ(files.disk[target], bom + "new");
    EXPECT_EQ(files.disk.size(), 1u);
  }
  // Writing or replacing fails: the old file is whole, no temporary file is left, the user is told.
  for (bool replace_fails : {false, true}) {
    fake_files files;
    files.disk[target] = "old";
    if (replace_fails) files.replace_ok = false;
    else files.create_fails_after = 0;
    prompt_log prompt;
    EXPECT_FALSE(save_report_as(files, prompt, "new", t, L"C:\\"));
    EXPECT_EQ(files.disk.size(), 1u);
    EXPECT_EQ(files.disk[target], "old");
    ASSERT_EQ(prompt.texts.size(), 2u);
    EXPECT_EQ(prompt.texts[1], L"An attempt to save report in specified file failed");
    EXPECT_EQ(prompt.flags[1], mb_icon_error | mb_ok);
  }
}

}  // namespace
