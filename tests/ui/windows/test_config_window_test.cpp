// Dialog 106 on screen, in the program's own process: what the main window reads from the model
// after OK, and the red frame OK draws round an invalid field. The fields' rules and the summary
// belong to test_config_model.
#include <gtest/gtest.h>

#include "resource_ids.h"
#include "screen_image.h"
#include "toolkit/xfc_vc_editbox.h"
#include "ui/dialog_test_config.h"
#include "ui_drive.h"
#include "window_driver.h"
#include "window_io.h"

namespace {

int selection(HWND combo) { return int(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

// The controls' notifications reach the model (a preset chosen, lists closed with Enter or Esc, a
// check box, typed text); OK frames an invalid field in red until it is mended, then leaves the
// edited custom profile in the model.
TEST(test_config_window, edits_reach_the_model_and_ok_frames_an_invalid_field_in_red) {
  test_config_model model;
  dialog_test_config dialog(model);
  const xfc_edit_colours colours;
  window_driver driver(L"Test profile", [&](HWND d) {
    const closes_at_end guard(d);
    pick_from_list(GetDlgItem(d, IDC_CONFIG_PROFILES), 2);  // Standard
    EXPECT_EQ(control_text(d, IDC_CONFIG_READ_TESTS), L"171");
    pick_from_list(GetDlgItem(d, IDC_CONFIG_ACCESS_PATTERN), 1);
    EXPECT_EQ(selection(GetDlgItem(d, IDC_CONFIG_PROFILES)), 0);  // Custom
    pick_from_list(GetDlgItem(d, IDC_CONFIG_TEST_ORDER), 0, false);
    click(GetDlgItem(d, IDC_CONFIG_RAW_RND_WRITE));
    type_text(GetDlgItem(d, IDC_CONFIG_BUFFER_COUNTS), L"2;4");
    EXPECT_EQ(control_text(d, IDC_CONFIG_WRITE_TESTS), L"72");
    const HWND run_time = GetDlgItem(d, IDC_CONFIG_MAX_RUN_TIME);
    type_text(run_time, L"500");  // no unit
    click(GetDlgItem(d, IDOK));
    EXPECT_TRUE(IsWindowVisible(d));
    EXPECT_EQ(state_words(run_time).back(), "focused");
    // The frame is painted on the dialog's thread, after the click has returned.
    EXPECT_TRUE(seen_until(run_time,
                           [&](const seen_control& seen) { return seen.frame_pixel(0, 0) == colours.frame_invalid; }));
    type_text(run_time, L"250 ms");
    EXPECT_TRUE(
        seen_until(run_time, [&](const seen_control& seen) { return seen.frame_pixel(0, 0) == colours.frame_focus; }));
    click(GetDlgItem(d, IDOK));
  });
  EXPECT_TRUE(dialog.run(nullptr));
  EXPECT_TRUE(driver.finish());
  EXPECT_EQ(model.current(), test_config_model::custom_index);
  const test_def& custom = model.custom();
  EXPECT_FALSE(custom.sequential);
  EXPECT_EQ(custom.order, 1u);  // Standard's "Sizes, counts, modes" left for "Random"
  EXPECT_EQ(custom.write_modes, 0x7u);
  EXPECT_EQ(custom.buffer_counts, (std::vector<uint32_t>{2, 4}));
  EXPECT_EQ(custom.duration, 250u);
}

}  // namespace
