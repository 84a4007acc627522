#include "results/report_actions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "golden.h"
#include "report_files_fake.h"
#include "support/text.h"
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

// What an action did: its answer, the files' calls, what it asked and told, what is on the disk
// after it, what it launched, and whether Notepad's settings are back.
std::string story(bool ok, const fake_files& files, const prompt_log& prompt) {
  std::string out = std::string("ok ") + (ok ? "1" : "0") + "\n";
  for (const std::string& call : files.calls) out += "  " + call + "\n";
  for (size_t i = 0; i < prompt.texts.size(); ++i) {
    char flags[16];
    snprintf(flags, sizeof flags, "0x%03x", unsigned(prompt.flags[i]));
    out += std::string("  asked ") + flags + " \"" + to_utf8(prompt.texts[i]) + "\"\n";
  }
  if (!prompt.request.title.empty())
    out += "  save dialog \"" + to_utf8(prompt.request.title) + "\" \"" + to_utf8(prompt.request.filter) + "\" \"" +
           to_utf8(prompt.request.default_name) + "\"\n";
  for (const auto& [path, bytes] : files.disk) out += "  on disk " + to_utf8(path) + " = \"" + bytes + "\"\n";
  if (!files.launched_program.empty())
    out += "  launched " + to_utf8(files.launched_program) + " in " + to_utf8(files.launched_folder) + ": " +
           to_utf8(files.launched_parameters) + "\n";
  return out + "  settings " + (files.settings_changed ? "changed" : "as they were") + "\n";
}

const SYSTEMTIME recorded{2024, 1, 3, 31, 9, 5, 0, 0};
const std::wstring target = L"D:\\out\\r.folvi.txt";

// Viewing in Notepad: written with a byte-order mark to a new temporary name, Notepad's settings
// changed around the launch; any failure tells the user once and leaves no file and the settings
// back. Saving: asked for a name, an existing file replaced only after a Yes, written beside and
// moved over it, and a failed write or replace leaves the old file whole.
TEST(report_actions, viewing_and_saving_with_every_failure) {
  const struct {
    const char* name;
    std::function<void(fake_files&, prompt_log&)> setup;
    bool save;
  } rows[] = {
      {"view", [](fake_files&, prompt_log&) {}, false},
      {"view, the name taken",
       [](fake_files& f, prompt_log&) { f.taken.insert(L"C:\\Users\\A&B Smith\\Temp\\folvi-report-1234beef.txt"); },
       false},
      {"view, every name taken",
       [](fake_files& f, prompt_log&) {
         for (unsigned r = 0x1234; r < 0x1234 + 100; ++r)
           f.taken.insert(notepad_file_name(L"C:\\Users\\A&B Smith\\Temp\\", L"folvi-report", r, 0xBEEF));
       },
       false},
      {"view, no temporary folder", [](fake_files& f, prompt_log&) { f.temp_ok = false; }, false},
      {"view, creation fails", [](fake_files& f, prompt_log&) { f.create_fails_after = 0; }, false},
      {"view, launch fails", [](fake_files& f, prompt_log&) { f.launch_ok = false; }, false},
      {"view, no system folder", [](fake_files& f, prompt_log&) { f.system_ok = false; }, false},
      {"view, no Windows folder", [](fake_files& f, prompt_log&) { f.windows_ok = false; }, false},
      {"save", [](fake_files&, prompt_log&) {}, true},
      {"save, cancelled", [](fake_files&, prompt_log& p) { p.save = false; }, true},
      {"save over a file, No",
       [](fake_files& f, prompt_log& p) {
         f.disk[target] = "old";
         p.answer = 7;
       },
       true},
      {"save over a file, Yes", [](fake_files& f, prompt_log&) { f.disk[target] = "old"; }, true},
      {"save over a file, writing fails",
       [](fake_files& f, prompt_log&) {
         f.disk[target] = "old";
         f.create_fails_after = 0;
       },
       true},
      {"save over a file, replacing fails",
       [](fake_files& f, prompt_log&) {
         f.disk[target] = "old";
         f.replace_ok = false;
       },
       true},
  };
  std::string out;
  for (const auto& r : rows) {
    fake_files files;
    prompt_log prompt;
    r.setup(files, prompt);
    const bool ok = r.save ? save_report_as(files, prompt, "new\r\n", recorded, L"D:\\out\\")
                           : view_text_in_notepad(files, prompt, "report\r\n", L"folvi-report");
    out += std::string("--- ") + r.name + ": " + story(ok, files, prompt);
  }
  expect_golden(out, "results/report_actions.txt");
}

}  // namespace
