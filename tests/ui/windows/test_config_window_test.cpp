// Dialog 106 on screen, driven the way a user drives it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource_ids.h"
#include "toolkit/xfc_message_box.h"
#include "ui/dialog_test_config.h"
#include "ui_drive.h"
#include "window_driver.h"

namespace {

const wchar_t caption[] = L"Test profile";
const COLORREF invalid_frame = RGB(0xD0, 0x30, 0x30);

// The five summary texts: tests, then durations, then the total.
std::vector<std::wstring> summary(HWND dialog) {
  std::vector<std::wstring> texts;
  for (int id : {IDC_CONFIG_READ_TESTS, IDC_CONFIG_WRITE_TESTS, IDC_CONFIG_READ_DURATION, IDC_CONFIG_WRITE_DURATION,
                 IDC_CONFIG_TOTAL_TIME})
    texts.push_back(control_text(dialog, id));
  return texts;
}

std::wstring profile_shown(HWND dialog) {
  const HWND list = GetDlgItem(dialog, IDC_CONFIG_PROFILES);
  const int index = int(SendMessageW(list, CB_GETCURSEL, 0, 0));
  std::vector<wchar_t> text(size_t(SendMessageW(list, CB_GETLBTEXTLEN, WPARAM(index), 0)) + 1);
  SendMessageW(list, CB_GETLBTEXT, WPARAM(index), LPARAM(text.data()));
  return text.data();
}

void type(HWND dialog, int id, const std::wstring& text) { type_text(GetDlgItem(dialog, id), text); }

bool checked(HWND dialog, int id) { return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

using texts = std::vector<std::wstring>;

TEST(test_config_window, presets_show_their_fields_and_summaries_and_an_edit_continues_as_custom) {
  test_config_model model;
  dialog_test_config dialog(model);
  window_driver driver(caption, [](HWND d) {
    const closes_at_end guard(d);
    // "Custom" starts as Extended.
    EXPECT_EQ(profile_shown(d), L"Custom");
    EXPECT_EQ(summary(d), (texts{L"375", L"250", L"06:15", L"04:10", L"10:25"}));
    EXPECT_EQ(focused_window(d), GetDlgItem(d, IDC_CONFIG_PROFILES));

    choose_item(GetDlgItem(d, IDC_CONFIG_PROFILES), 2);
    EXPECT_EQ(profile_shown(d), L"Standard");
    EXPECT_EQ(control_text(d, IDC_CONFIG_BUFFER_SIZES), L"8K 16K 32K 64K 128K 256K 512K 1M 2M 4M 8M 16M ");
    EXPECT_EQ(control_text(d, IDC_CONFIG_BUFFER_COUNTS), L"1 2 4 8 16 ");
    EXPECT_EQ(control_text(d, IDC_CONFIG_MEMORY_CAP), L"64M");
    EXPECT_EQ(control_text(d, IDC_CONFIG_MAX_RUN_TIME), L"1 sec");
    EXPECT_EQ(control_text(d, IDC_CONFIG_MAX_FILE_SIZE), L"4G");
    EXPECT_EQ(control_text(d, IDC_CONFIG_MAX_INIT_TIME), L"10");
    EXPECT_EQ(summary(d), (texts{L"171", L"114", L"02:51", L"01:54", L"04:45"}));

    choose_item(GetDlgItem(d, IDC_CONFIG_PROFILES), 1);
    EXPECT_EQ(summary(d), (texts{L"68", L"68", L"00:17", L"00:17", L"00:34"}));
    EXPECT_TRUE(checked(d, IDC_CONFIG_RAW_READ));
    EXPECT_TRUE(checked(d, IDC_CONFIG_BUF_SEQ_READ));
    EXPECT_FALSE(checked(d, IDC_CONFIG_RAW_SEQ_READ));

    choose_item(GetDlgItem(d, IDC_CONFIG_PROFILES), 3);
    EXPECT_EQ(summary(d), (texts{L"375", L"250", L"06:15", L"04:10", L"10:25"}));

    // One character typed into Quick: Custom with Quick's values plus the change.
    choose_item(GetDlgItem(d, IDC_CONFIG_PROFILES), 1);
    type(d, IDC_CONFIG_BUFFER_COUNTS, L"1 4 8 16");
    EXPECT_EQ(profile_shown(d), L"Custom");
    EXPECT_EQ(control_text(d, IDC_CONFIG_BUFFER_SIZES), L"8K 64K 128K 256K 512K 1M 4M ");
    EXPECT_EQ(summary(d), (texts{L"56", L"56", L"00:14", L"00:14", L"00:28"}));
    // A preset chosen again shows its own values; Custom keeps the edit.
    choose_item(GetDlgItem(d, IDC_CONFIG_PROFILES), 1);
    EXPECT_EQ(control_text(d, IDC_CONFIG_BUFFER_COUNTS), L"1 4 8 16 32 ");
    choose_item(GetDlgItem(d, IDC_CONFIG_PROFILES), 0);
    EXPECT_EQ(control_text(d, IDC_CONFIG_BUFFER_COUNTS), L"1 4 8 16 ");
    // A drop-down list and a check box are edits too.
    choose_item(GetDlgItem(d, IDC_CONFIG_PROFILES), 2);
    choose_item(GetDlgItem(d, IDC_CONFIG_ACCESS_PATTERN), 1);
    EXPECT_EQ(profile_shown(d), L"Custom");
    click(GetDlgItem(d, IDC_CONFIG_RAW_RND_WRITE));
    EXPECT_EQ(summary(d), (texts{L"171", L"171", L"02:51", L"02:51", L"05:42"}));
    click(GetDlgItem(d, IDOK));
  });
  EXPECT_TRUE(dialog.run(nullptr));
  EXPECT_TRUE(driver.finish());
  EXPECT_EQ(model.current(), test_config_model::custom_index);
  EXPECT_FALSE(model.custom().sequential);
  EXPECT_EQ(model.custom().write_modes, 0x7u);
  EXPECT_EQ(model.custom().buffer_sizes.size(), 12u);
}

TEST(test_config_window, invalid_fields_blank_the_summary_and_ok_draws_attention) {
  test_config_model model;
  dialog_test_config dialog(model);
  window_driver driver(caption, [](HWND d) {
    const closes_at_end guard(d);
    const HWND run_time = GetDlgItem(d, IDC_CONFIG_MAX_RUN_TIME);
    type(d, IDC_CONFIG_MAX_RUN_TIME, L"500");
    const texts dashes{L"-", L"-", L"-", L"-", L"-"};
    EXPECT_EQ(summary(d), dashes);
    click(GetDlgItem(d, IDOK));
    EXPECT_TRUE(IsWindow(d));
    EXPECT_EQ(focused_window(d), run_time);
    EXPECT_EQ(window_pixel(run_time, 0, 0), invalid_frame);

    // A valid text takes the red frame away; one read test of 250 ms.
    type(d, IDC_CONFIG_MAX_RUN_TIME, L"250 ms");
    EXPECT_NE(window_pixel(run_time, 0, 0), invalid_frame);
    type(d, IDC_CONFIG_BUFFER_SIZES, L"64k");
    type(d, IDC_CONFIG_BUFFER_COUNTS, L"1");
    for (int id : {IDC_CONFIG_RAW_WRITE, IDC_CONFIG_RAW_SEQ_READ, IDC_CONFIG_RAW_SEQ_WRITE, IDC_CONFIG_BUF_SEQ_READ})
      click(GetDlgItem(d, id));
    EXPECT_EQ(summary(d), (texts{L"1", L"0", L"0.25 sec", L"-", L"0.25 sec"}));

    // File size 0 is invalid, memory cap 0 means no cap.
    type(d, IDC_CONFIG_MAX_FILE_SIZE, L"0");
    EXPECT_EQ(summary(d), dashes);
    type(d, IDC_CONFIG_MEMORY_CAP, L"0");
    type(d, IDC_CONFIG_MAX_FILE_SIZE, L"1G");
    EXPECT_EQ(summary(d)[0], L"1");
    // Beyond what the engine takes, and what is not a number.
    type(d, IDC_CONFIG_BUFFER_SIZES, L"4g");
    EXPECT_EQ(summary(d), dashes);
    type(d, IDC_CONFIG_BUFFER_SIZES, L"64k");
    type(d, IDC_CONFIG_BUFFER_COUNTS, L"-1");
    EXPECT_EQ(summary(d), dashes);
    click(GetDlgItem(d, IDOK));
    EXPECT_EQ(focused_window(d), GetDlgItem(d, IDC_CONFIG_BUFFER_COUNTS));
    type(d, IDC_CONFIG_BUFFER_COUNTS, L"1");

    // No modes at all: OK says so and the dialog stays.
    click(GetDlgItem(d, IDC_CONFIG_RAW_READ));
    EXPECT_EQ(summary(d), (texts{L"0", L"0", L"-", L"-", L"-"}));
    post_click(GetDlgItem(d, IDOK));
    const HWND box = wait_for_window(d, L"Test configuration");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(control_text(box, mb_id_text), L"No tests selected");
    post_click(GetDlgItem(box, IDOK));
    ASSERT_TRUE(wait_until([&] { return !IsWindow(box); }));
    EXPECT_TRUE(IsWindow(d));
    click(GetDlgItem(d, IDCANCEL));
  });
  EXPECT_FALSE(dialog.run(nullptr));
  EXPECT_TRUE(driver.finish());
}

}  // namespace
