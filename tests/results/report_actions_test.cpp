#include "results/report_actions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

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

// "view" or "save", with the files' and the user's answers changed by taken=first|all, fail=temp|
// create|launch|system|windows|replace, old=1 (a file already there), answer=7 (No), cancel=1.
std::string run_case(const std::string& spec) {
  fake_files files;
  prompt_log prompt;
  const std::string fail = spec_value(spec, "fail"), taken = spec_value(spec, "taken");
  files.temp_ok = fail != "temp";
  files.create_fails_after = fail == "create" ? 0 : -1;
  files.launch_ok = fail != "launch";
  files.system_ok = fail != "system";
  files.windows_ok = fail != "windows";
  files.replace_ok = fail != "replace";
  for (unsigned r = 0x1234; r < (taken == "all" ? 0x1234 + 100 : taken == "first" ? 0x1235 : 0x1234); ++r)
    files.taken.insert(notepad_file_name(L"C:\\Users\\A&B Smith\\Temp\\", L"folvi-report", r, 0xBEEF));
  if (spec_value(spec, "old") == "1") files.disk[target] = "old";
  prompt.answer = std::stoi(spec_value(spec, "answer", "6"));
  prompt.save = spec_value(spec, "cancel") != "1";
  const bool ok = spec.rfind("save", 0) == 0 ? save_report_as(files, prompt, "new\r\n", recorded, L"D:\\out\\")
                                             : view_text_in_notepad(files, prompt, "report\r\n", L"folvi-report");
  return story(ok, files, prompt);
}

// Viewing in Notepad: written with a byte-order mark to a new temporary name, Notepad's settings
// changed around the launch; any failure tells the user once and leaves no file and the settings
// back. Saving: asked for a name, an existing file replaced only after a Yes, written beside and
// moved over it, and a failed write or replace leaves the old file whole.
TEST(report_actions, viewing_and_saving_with_every_failure) { expect_cases("results/report_actions.txt", run_case); }

}  // namespace
