#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <cwctype>

#include <string>

#include "resource_ids.h"
#include "toolkit/png_bitmap.h"
#include "toolkit/png_reader.h"

namespace {
std::string resource_text(int id, int type) {
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
  if (!found) return {};
  const void* data = LockResource(LoadResource(nullptr, found));
  return std::string(static_cast<const char*>(data), SizeofResource(nullptr, found));
}
}  // namespace

// How rows and pixels decode and turn into a DIB is the reader's and png_bitmap's test; here the
// embedded image is found, decodes whole and becomes the DIB of its pixels.
TEST(resources, embedded_image_becomes_a_bottom_up_bitmap_with_its_pixels) {
  static_assert(RT_FOLVI_PNG == png_resource_type, "one resource type for PNG images");
  const std::string file = resource_text(IDB_SCREENGRAB, RT_FOLVI_PNG);
  ASSERT_FALSE(file.empty());
  png_image image;
  std::string error;
  ASSERT_TRUE(png_decode(reinterpret_cast<const uint8_t*>(file.data()), file.size(), image, error)) << error;
  EXPECT_EQ(image.width, 68u);
  EXPECT_EQ(image.height, 25u);
  EXPECT_EQ(image.channels, 4u);

  sfc_bitmap bitmap;
  ASSERT_TRUE(load_png_resource(IDB_SCREENGRAB, bitmap, error)) << error;
  DIBSECTION dib{};
  ASSERT_EQ(GetObjectW(bitmap.handle(), sizeof dib, &dib), int(sizeof dib));
  EXPECT_EQ(dib.dsBmih.biWidth, 68);
  EXPECT_EQ(dib.dsBmih.biHeight, 25);  // positive: bottom-up
  EXPECT_EQ(dib.dsBmih.biBitCount, 32);
  const std::vector<uint8_t> expected = png_dib_pixels(image);
  ASSERT_EQ(expected.size(), size_t(68 * 25 * 4));
  EXPECT_EQ(std::memcmp(dib.dsBm.bmBits, expected.data(), expected.size()), 0);

  sfc_bitmap none;
  EXPECT_FALSE(load_png_resource(12345, none, error));
  EXPECT_EQ(error, "image resource not found");
}

TEST(resources, string_table_and_manifest) {
  wchar_t text[512] = {};
  ASSERT_GT(LoadStringW(nullptr, IDS_SHARE_SCREENSHOT_QUESTION, text, 512), 0);
  EXPECT_STREQ(text,
               L"This will upload a screenshot of the app's window to\nthe FOLVI server and assign it a unique URL "
               L"that you\ncan "
               L"then share with the others.\n\nProceed?");
  const std::string manifest = resource_text(1, 24);
  for (const char* needed :
       {"level=\"asInvoker\"", "Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "PerMonitorV2", "true/pm",
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "{e2011457-1546-43c5-a5fe-008deee3d3f0}"})
    EXPECT_NE(manifest.find(needed), std::string::npos) << needed;
  // The manifest is in force: common controls come from the side-by-side assembly.
  const HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
  ASSERT_TRUE(comctl);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(comctl, path, MAX_PATH);
  std::wstring lower(path);
  for (wchar_t& c : lower) c = wchar_t(towlower(c));
  EXPECT_NE(lower.find(L"\\winsxs\\"), std::wstring::npos) << lower;
  EXPECT_NE(lower.find(L"common-controls_6595b64144ccf1df_6."), std::wstring::npos) << lower;
}
