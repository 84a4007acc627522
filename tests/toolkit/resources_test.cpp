#include <gtest/gtest.h>
#include <windows.h>

#include <cwctype>
#include <string>

#include "resource_ids.h"
#include "toolkit/png_bitmap.h"

static_assert(RT_FOLVI_PNG == png_resource_type, "one resource type for PNG images");

// The embedded image as a bitmap is the controls' test (the image button shows it); a missing one
// says so.
TEST(resources, string_table_manifest_and_a_missing_image) {
  sfc_bitmap none;
  std::string error;
  EXPECT_FALSE(load_png_resource(12345, none, error));
  EXPECT_EQ(error, "image resource not found");
  wchar_t text[512] = {};
  ASSERT_GT(LoadStringW(nullptr, IDS_SHARE_SCREENSHOT_QUESTION, text, 512), 0);
  EXPECT_STREQ(text,
               L"This will upload a screenshot of the app's window to\nthe FOLVI server and assign it a unique URL "
               L"that you\ncan then share with the others.\n\nProceed?");
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_TRUE(found);
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
                             SizeofResource(nullptr, found));
  for (const char* needed :
       {"level=\"asInvoker\"", "Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "PerMonitorV2", "true/pm",
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "{e2011457-1546-43c5-a5fe-008deee3d3f0}"})
    EXPECT_NE(manifest.find(needed), std::string::npos) << needed;
  // The manifest is in force: common controls come from the side-by-side assembly.
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), path, MAX_PATH);
  std::wstring lower(path);
  for (wchar_t& c : lower) c = wchar_t(towlower(c));
  EXPECT_NE(lower.find(L"\\winsxs\\"), std::wstring::npos) << lower;
  EXPECT_NE(lower.find(L"common-controls_6595b64144ccf1df_6."), std::wstring::npos) << lower;
}
