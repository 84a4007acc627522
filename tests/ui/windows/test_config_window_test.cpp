// Dialog 106 on screen, in the program's own process: what the main window reads from the model
// after OK. The edge cases of the fields and the summary are driven from outside by
// test_config_e2e.sh.
#include <gtest/gtest.h>

#include "resource_ids.h"
#include "ui/dialog_test_config.h"
#include "ui_drive.h"
#include "window_driver.h"

namespace {

int selection(HWND combo) { return int(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

// The list dropped down, an item highlighted, then closed with a key as the user closes it.
void choose_in_open_list(HWND combo, int index, UINT key) {
  SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  SendMessageW(combo, CB_SETCURSEL, WPARAM(index), 0);
  SendMessageW(combo, WM_KEYDOWN, key, 0);
}

TEST(test_config_window, ok_leaves_the_edited_custom_profile_in_the_model) {
  test_config_model model;
  dialog_test_config dialog(model);
  int order_shown = -1;
  window_driver driver(L"Test profile", [&](HWND d) {
    const closes_at_end guard(d);
    choose_item(GetDlgItem(d, IDC_CONFIG_PROFILES), 2);  // Standard
    EXPECT_EQ(control_text(d, IDC_CONFIG_READ_TESTS), L"171");
    // Lists closed with Enter or Esc: the field is what the list shows.
    choose_in_open_list(GetDlgItem(d, IDC_CONFIG_ACCESS_PATTERN), 1, VK_RETURN);
    EXPECT_EQ(selection(GetDlgItem(d, IDC_CONFIG_PROFILES)), 0);  // Custom
    choose_in_open_list(GetDlgItem(d, IDC_CONFIG_TEST_ORDER), 0, VK_ESCAPE);
    order_shown = selection(GetDlgItem(d, IDC_CONFIG_TEST_ORDER));
    click(GetDlgItem(d, IDC_CONFIG_RAW_RND_WRITE));
    type_text(GetDlgItem(d, IDC_CONFIG_BUFFER_COUNTS), L"2;4");
    EXPECT_EQ(control_text(d, IDC_CONFIG_WRITE_TESTS), L"72");
    click(GetDlgItem(d, IDOK));
  });
  EXPECT_TRUE(dialog.run(nullptr));
  EXPECT_TRUE(driver.finish());
  EXPECT_EQ(model.current(), test_config_model::custom_index);
  const test_def& custom = model.custom();
  EXPECT_EQ(custom.name, L"Custom");
  EXPECT_FALSE(custom.sequential);
  EXPECT_EQ(int(custom.order) - 1, order_shown);
  EXPECT_EQ(custom.write_modes, 0x7u);
  EXPECT_EQ(custom.buffer_counts, (std::vector<uint32_t>{2, 4}));
  EXPECT_EQ(custom.buffer_sizes.size(), 12u);
  EXPECT_EQ(custom.read_tests, 72u);
}

}  // namespace
