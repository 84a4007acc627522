#include <gtest/gtest.h>

#include <string>

#include "toolkit/file_dialogs.h"
#include "toolkit/xfc_message_box.h"
#include "window_driver.h"

namespace {

// The dialogs' file-name box and their confirming button (edt1 and IDOK, as in the classic ones).
constexpr int file_name_box = 1152;

std::wstring temp_folder() {
  wchar_t path[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, path);
  std::wstring folder = std::wstring(path) + L"folvi-dialog-test";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

void type_and_confirm(HWND dialog, const std::wstring& text) {
  SendMessageW(GetDlgItem(dialog, file_name_box), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  click(GetDlgItem(dialog, IDOK));
}

// The visible window of `caption` that holds the control `id`: the toolkit's question under the
// dialog's title, or the dialog shown again.
HWND shown_with(const std::wstring& caption, int id) {
  HWND found = nullptr;
  wait_until([&] {
    found = FindWindowW(nullptr, caption.c_str());
    return found && GetDlgItem(found, id) && IsWindowVisible(found);
  });
  return found;
}

save_file_request report_request() {
  save_file_request request;
  request.title = L"Save report as...";
  request.filter = L"FOLVI Report (*.folvi.txt)|*.folvi.txt|All files (*.*)|*.*";
  return request;
}

}  // namespace

TEST(file_dialogs_window, save_dialog_offers_the_name_and_returns_the_path_with_its_extension) {
  const std::wstring folder = temp_folder();
  save_file_request request = report_request();
  request.default_name = L"FOLVI Report (2024-01-31 09-05) - Drive C";
  std::wstring offered;
  window_driver confirm(request.title, [&](HWND dialog) {
    offered = window_text(GetDlgItem(dialog, file_name_box));
    type_and_confirm(dialog, folder + L"\\report one");
  });
  std::wstring path;
  EXPECT_TRUE(win32_file_dialogs().save_file(request, path));
  EXPECT_TRUE(confirm.finish());
  EXPECT_EQ(offered, L"FOLVI Report (2024-01-31 09-05) - Drive C");
  EXPECT_EQ(path, folder + L"\\report one.folvi.txt");

  window_driver cancel(request.title, [](HWND dialog) { post_key(dialog, VK_ESCAPE); });
  path = L"kept";
  EXPECT_FALSE(win32_file_dialogs().save_file(request, path));
  EXPECT_TRUE(cancel.finish());
  EXPECT_EQ(path, L"kept");
}

// Wine's dialog adds only ".txt" to "existing": the full name is completed, and asked about, here.
// "Yes" returns it; "No" shows the dialog again with the completed name, and cancelling it saves
// nothing.
TEST(file_dialogs_window, a_completed_name_that_exists_is_asked_about_before_it_is_returned) {
  const std::wstring folder = temp_folder();
  const std::wstring existing = folder + L"\\existing.folvi.txt";
  CloseHandle(CreateFileW(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  const save_file_request request = report_request();
  std::wstring question, offered_again, path;
  for (int answer : {mb_answer_yes, mb_answer_no}) {
    window_driver driver(request.title, [&](HWND dialog) {
      type_and_confirm(dialog, folder + L"\\existing");
      const HWND box = shown_with(request.title, mb_id_text);
      question = window_text(GetDlgItem(box, mb_id_text));
      click(GetDlgItem(box, answer));
      if (answer == mb_answer_yes) return;
      const HWND again = shown_with(request.title, file_name_box);
      offered_again = window_text(GetDlgItem(again, file_name_box));
      post_key(again, VK_ESCAPE);
    });
    EXPECT_EQ(win32_file_dialogs().save_file(request, path), answer == mb_answer_yes);
    EXPECT_TRUE(driver.finish());
    EXPECT_EQ(question, L"existing.folvi.txt already exists.\nDo you want to replace it?");
    EXPECT_EQ(path, existing);
  }
  EXPECT_EQ(offered_again, L"existing.folvi.txt");
  DeleteFileW(existing.c_str());
}

TEST(file_dialogs_window, folder_picker_returns_the_chosen_folder_or_nothing) {
  const std::wstring folder = temp_folder();
  const folder_request request{nullptr, L"Pick location for the test file"};
  window_driver confirm(request.title, [&](HWND dialog) { type_and_confirm(dialog, folder); });
  std::wstring path;
  EXPECT_TRUE(win32_file_dialogs().pick_folder(request, path));
  EXPECT_TRUE(confirm.finish());
  EXPECT_EQ(_wcsicmp(path.c_str(), folder.c_str()), 0) << path.c_str();

  window_driver cancel(request.title, [](HWND dialog) { click(GetDlgItem(dialog, IDCANCEL)); });
  EXPECT_FALSE(win32_file_dialogs().pick_folder(request, path));
  EXPECT_TRUE(cancel.finish());
}
