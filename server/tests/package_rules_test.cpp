// What a package may hold, for each kind of share.
#include <gtest/gtest.h>

#include "package_rules.h"
#include "test_images.h"
#include "test_zip.h"

namespace {

package_files screenshot_files() {
  package_files files;
  files.screenshot = make_bmp(40, 30, test_pattern);
  files.read_graph = make_bmp(20, 10, test_pattern, {24, false, 40});
  files.write_graph = make_bmp(21, 11, test_pattern, {32, true, 40});
  return files;
}

std::string unpack_error(const std::string& type, const std::string& package) {
  share_contents contents;
  std::string error;
  EXPECT_FALSE(unpack_package(type, package, package_limits{}, contents, error));
  return error;
}

zip_item item(const char* name, std::string data) { return zip_item{name, std::move(data)}; }

}  // namespace

TEST(package_rules, unpacks_a_screenshot_share_into_texts_and_pngs) {
  package_files files = screenshot_files();
  share_contents contents;
  std::string error;
  ASSERT_TRUE(unpack_package("screenshot", build_package(files), package_limits{}, contents, error)) << error;
  EXPECT_EQ(contents.kind, "screenshot");
  EXPECT_EQ(contents.report, files.report);
  EXPECT_EQ(contents.stack_scan, files.stack_scan);
  ASSERT_EQ(contents.images.size(), 3u);
  EXPECT_EQ(contents.images[0].name, "screenshot");
  EXPECT_EQ(contents.images[1].name, "read_graph");
  EXPECT_EQ(contents.images[2].name, "write_graph");
  EXPECT_EQ(contents.images[2].width, 21u);
  EXPECT_EQ(contents.images[2].height, 11u);
  auto png = decode_png_with_libpng(contents.images[0].png);
  ASSERT_TRUE(png);
  EXPECT_EQ(png->width, 40u);
  EXPECT_EQ(png->rgb[0], 0xFF);  // the magenta band at the top left
  EXPECT_EQ(png->rgb[1], 0x00);
}

TEST(package_rules, a_report_share_holds_only_the_two_texts) {
  package_files files;
  files.stack_scan = "";  // an empty log still travels, stored
  share_contents contents;
  std::string error;
  ASSERT_TRUE(unpack_package("report", build_package(files), package_limits{}, contents, error)) << error;
  EXPECT_EQ(contents.kind, "report");
  EXPECT_TRUE(contents.images.empty());
  EXPECT_EQ(contents.stack_scan, "");

  EXPECT_EQ(unpack_error("report", build_package(screenshot_files())),
            "a report share carries only the texts, not \"screenshot.bmp\"");
  package_files empty_report;
  empty_report.report = "";
  EXPECT_EQ(unpack_error("report", build_package(empty_report)), "report.folvi.txt is empty");
}

TEST(package_rules, refuses_wrong_names_order_and_kinds) {
  std::string report = "report", scan = "scan";
  EXPECT_EQ(unpack_error("video", build_package({})), "field \"type\" must be \"screenshot\" or \"report\"");
  EXPECT_EQ(unpack_error("screenshot", build_package({})), "screenshot.bmp missing");
  EXPECT_EQ(unpack_error("report", build_zip({item("stack_scan.txt", scan)})), "report.folvi.txt missing");
  EXPECT_EQ(unpack_error("report", build_zip({item("report.folvi.txt", report)})), "stack_scan.txt missing");
  EXPECT_EQ(unpack_error("report", build_zip({item("report.folvi.txt", report), item("notes.txt", scan)})),
            "unknown entry: \"notes.txt\"");
  EXPECT_EQ(unpack_error("report", build_zip({item("../report.folvi.txt", report), item("stack_scan.txt", scan)})),
            "entry name with a path: \"../report.folvi.txt\"");
  EXPECT_EQ(unpack_error("report", build_zip({item("C:\\report.folvi.txt", report)})),
            "entry name with a path: \"C:\\x5creport.folvi.txt\"");
  EXPECT_EQ(unpack_error("report", build_zip({item("sub/stack_scan.txt", scan)})),
            "entry name with a path: \"sub/stack_scan.txt\"");
  EXPECT_EQ(unpack_error("report", build_zip({item("report.folvi.txt", report), item("report.folvi.txt", report),
                                              item("stack_scan.txt", scan)})),
            "duplicate entry: \"report.folvi.txt\"");
  EXPECT_EQ(unpack_error("report", build_zip({item("stack_scan.txt", scan), item("report.folvi.txt", report)})),
            "entries out of order: \"report.folvi.txt\"");
  EXPECT_EQ(unpack_error("report", build_zip({item("report.folvi.txt\n\x01", report)})),
            "unknown entry: \"report.folvi.txt\\x0a\\x01\"");
}

TEST(package_rules, caps_declared_sizes_before_inflating) {
  // The lies are only declared: were anything inflated, these would fail later and differently.
  zip_item big_report = item("report.folvi.txt", "small");
  big_report.declared_size = (8u << 20) + 1;
  EXPECT_EQ(unpack_error("report", build_zip({big_report, item("stack_scan.txt", "scan")})),
            "entry too large: \"report.folvi.txt\"");
  zip_item huge = big_report;
  huge.declared_size = 0xFFFFFFFF;
  EXPECT_EQ(unpack_error("report", build_zip({huge, item("stack_scan.txt", "scan")})),
            "entry too large: \"report.folvi.txt\"");

  std::vector<zip_item> images;
  for (const char* name : {"screenshot.bmp", "read_graph.bmp", "write_graph.bmp"}) {
    images.push_back(item(name, "BM"));
    images.back().declared_size = 30u << 20;  // each allowed, together too much
  }
  images.push_back(item("report.folvi.txt", "r"));
  images.push_back(item("stack_scan.txt", "s"));
  EXPECT_EQ(unpack_error("screenshot", build_zip(images)), "package too large when unpacked");
}

TEST(package_rules, a_screenshot_needs_a_bmp_it_can_decode) {
  package_files files = screenshot_files();
  files.read_graph = "BMnot really";
  EXPECT_EQ(unpack_error("screenshot", build_package(files)), "read_graph.bmp: not a BMP file");
  files = screenshot_files();
  files.screenshot = make_bmp(4, 4, test_pattern, {16, false, 40});
  EXPECT_EQ(unpack_error("screenshot", build_package(files)), "screenshot.bmp: BMP not of 24 or 32 bits per pixel");
}

TEST(package_rules, a_lying_entry_fails_the_whole_package) {
  zip_item bomb = item("stack_scan.txt", std::string(16u << 20, 'A'));
  bomb.declared_size = 100;
  EXPECT_EQ(unpack_error("report", build_zip({item("report.folvi.txt", "r"), bomb})),
            "stack_scan.txt: inflates to more than its declared size");
}

// Pixels are what conversion costs: refused on the BMP header, before any pixel is decoded.
TEST(package_rules, images_are_bounded_in_pixels_each_and_together) {
  package_limits limits;
  limits.max_image_pixels = 1200;
  limits.max_package_pixels = 1631;
  share_contents contents;
  std::string error;
  package_files files = screenshot_files();  // 40 x 30, 20 x 10 and 21 x 11 pixels
  ASSERT_TRUE(unpack_package("screenshot", build_package(files), limits, contents, error)) << error;

  limits.max_image_pixels = 1199;
  EXPECT_FALSE(unpack_package("screenshot", build_package(files), limits, contents, error));
  EXPECT_EQ(error, "screenshot.bmp: BMP of 40 x 30 pixels, more than 1199");
  limits.max_image_pixels = 1200;
  limits.max_package_pixels = 1200 + 200 + 230;
  EXPECT_FALSE(unpack_package("screenshot", build_package(files), limits, contents, error));
  EXPECT_EQ(error, "write_graph.bmp: the package's images have more than 1630 pixels");
  limits.max_package_pixels = 1200 + 200 + 231;
  EXPECT_TRUE(unpack_package("screenshot", build_package(files), limits, contents, error)) << error;
}

// The default limits keep a blank full-size BMP (a few kilobytes deflated) from being converted.
TEST(package_rules, a_blank_megapixel_bmp_beyond_the_default_limit_is_refused) {
  package_files files = screenshot_files();
  files.screenshot = make_bmp(2100, 2100, [](uint32_t, uint32_t) { return 0u; });
  EXPECT_EQ(unpack_error("screenshot", build_package(files)),
            "screenshot.bmp: BMP of 2100 x 2100 pixels, more than 4194304");
}
