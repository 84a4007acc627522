#include <gtest/gtest.h>

#include "toolkit/colour_math.h"
#include "toolkit/dialog_font.h"
#include "toolkit/file_dialogs.h"
#include "toolkit/window_placement.h"
#include "toolkit/xfc_vc_editbox.h"

TEST(colour_math, hsl_round_trip_and_the_profile_dialog_shades) {
  for (COLORREF c :
       {RGB(0, 0, 0), RGB(255, 255, 255), RGB(240, 240, 240), RGB(0x1B, 0x30, 0x4F), RGB(255, 0, 0), RGB(12, 200, 99)})
    EXPECT_EQ(hsl_to_rgb(rgb_to_hsl(c)), c);
  const hsl_colour red = rgb_to_hsl(RGB(255, 0, 0));
  EXPECT_DOUBLE_EQ(red.h, 0);
  EXPECT_DOUBLE_EQ(red.s, 1);
  EXPECT_DOUBLE_EQ(red.l, 0.5);
  EXPECT_NEAR(rgb_to_hsl(RGB(0, 0, 255)).h, 240, 1e-9);
  // The classic button face, 5% darker: l 0.9412 -> 0.8941, a grey stays grey.
  EXPECT_EQ(reduce_lightness(RGB(240, 240, 240), 0.05), RGB(228, 228, 228));
  EXPECT_EQ(reduce_lightness(RGB(0xF0, 0xF0, 0xF0), 0), RGB(0xF0, 0xF0, 0xF0));
  // Halving the saturation of a pure red moves it half way to grey at the same lightness.
  EXPECT_EQ(scale_saturation(RGB(255, 0, 0), 0.5), RGB(191, 64, 64));
  EXPECT_EQ(scale_saturation(RGB(128, 128, 128), 0.5), RGB(128, 128, 128));
}

TEST(dialog_font, points_from_a_font_height) {
  EXPECT_EQ(font_points_from_height(-12, 96), 9);
  EXPECT_EQ(font_points_from_height(-11, 96), 8);
  EXPECT_EQ(font_points_from_height(-15, 120), 9);
  EXPECT_EQ(font_points_from_height(-16, 96), 12);
  EXPECT_EQ(font_points_from_height(16, 96), 12);
  EXPECT_EQ(font_points_from_height(0, 96), 1);
  EXPECT_EQ(font_points_from_height(-12, 0), 9);
}

TEST(file_dialogs, filters_parse_into_pairs_and_the_chosen_pattern_adds_its_extension) {
  using pair = std::pair<std::wstring, std::wstring>;
  EXPECT_EQ(parse_file_filter(L"FOLVI Report (*.folvi.txt)|*.folvi.txt|All files (*.*)|*.*"),
            (std::vector<pair>{{L"FOLVI Report (*.folvi.txt)", L"*.folvi.txt"}, {L"All files (*.*)", L"*.*"}}));
  EXPECT_EQ(parse_file_filter(L"Text|*.txt|Dangling"), (std::vector<pair>{{L"Text", L"*.txt"}}));
  EXPECT_EQ(parse_file_filter(L"Empty||Text|*.txt"), (std::vector<pair>{{L"Text", L"*.txt"}}));
  EXPECT_TRUE(parse_file_filter(L"").empty());

  EXPECT_EQ(with_pattern_extension(L"C:\\r\\FOLVI Report", L"*.folvi.txt"), L"C:\\r\\FOLVI Report.folvi.txt");
  EXPECT_EQ(with_pattern_extension(L"C:\\r\\a.FOLVI.TXT", L"*.folvi.txt"), L"C:\\r\\a.FOLVI.TXT");
  EXPECT_EQ(with_pattern_extension(L"C:\\r\\a.txt", L"*.folvi.txt"), L"C:\\r\\a.folvi.txt");
  EXPECT_EQ(with_pattern_extension(L"C:\\r\\a.log", L"*.folvi.txt"), L"C:\\r\\a.log.folvi.txt");
  EXPECT_EQ(with_pattern_extension(L"C:\\r\\a", L"*.*"), L"C:\\r\\a");
  EXPECT_EQ(with_pattern_extension(L"C:\\r\\a", L"*"), L"C:\\r\\a");
  EXPECT_EQ(with_pattern_extension(L"C:\\r\\a", L"*.log;*.txt"), L"C:\\r\\a.log");
}

TEST(xfc_vc_editbox, client_keeps_one_line_centred_inside_the_frame) {
  // A 26-pixel box, 1-pixel frame, 3 pixels of room on the sides, 13-pixel line: 5 above, 6 below.
  RECT r = vc_edit_client_rect({100, 50, 200, 76}, 13, 1, 3);
  EXPECT_EQ(r.left, 104);
  EXPECT_EQ(r.right, 196);
  EXPECT_EQ(r.top, 50 + 1 + 5);
  EXPECT_EQ(r.bottom, r.top + 13);
  // A box too low for the line keeps everything inside the frame.
  r = vc_edit_client_rect({0, 0, 50, 12}, 13, 1, 3);
  EXPECT_EQ(r.top, 1);
  EXPECT_EQ(r.bottom, 11);
  // Degenerate sizes never give a negative rectangle.
  r = vc_edit_client_rect({0, 0, 4, 1}, 13, 1, 3);
  EXPECT_GE(r.right, r.left);
  EXPECT_GE(r.bottom, r.top);
}

TEST(window_placement, centred_on_its_owner_and_kept_on_the_work_area) {
  const RECT work{0, 0, 1280, 984};
  // Centred on the owner, halves rounded down.
  EXPECT_EQ(centred_position({100, 100, 601, 401}, {301, 101}, work).x, 200);
  EXPECT_EQ(centred_position({100, 100, 601, 401}, {301, 101}, work).y, 200);
  // An owner near an edge: the window moves in as far as it must, on each side.
  EXPECT_EQ(centred_position({1100, 100, 1280, 300}, {400, 100}, work).x, 880);
  EXPECT_EQ(centred_position({0, 100, 100, 300}, {400, 100}, work).x, 0);
  EXPECT_EQ(centred_position({100, 0, 500, 60}, {200, 300}, work).y, 0);
  EXPECT_EQ(centred_position({100, 900, 500, 984}, {200, 300}, work).y, 684);
  // A work area that does not begin at the origin (a second monitor, a taskbar at the top).
  const RECT second{1280, 40, 2560, 1024};
  EXPECT_EQ(centred_position({1280, 40, 1380, 80}, {300, 200}, second).x, 1280);
  EXPECT_EQ(centred_position({1280, 40, 1380, 80}, {300, 200}, second).y, 40);
  // Larger than the work area: its top-left corner at the work area's.
  EXPECT_EQ(centred_position({500, 500, 600, 600}, {1400, 1100}, work).x, 0);
  EXPECT_EQ(centred_position({500, 500, 600, 600}, {1400, 1100}, work).y, 0);
}
