// What a package may hold, for each kind of share (the pixels of its PNGs are the upload test's).
#include <gtest/gtest.h>

#include "golden.h"
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

// What unpacking keeps of the package, or its error.
std::string unpacked(const std::string& type, const std::string& package, const package_limits& limits = {}) {
  share_contents contents;
  std::string error;
  if (!unpack_package(type, package, limits, contents, error)) return error;
  std::string text = contents.kind + " [" + contents.report + "] [" + contents.stack_scan + "]";
  for (const share_image& image : contents.images)
    text += " " + image.name + " " + std::to_string(image.width) + "x" + std::to_string(image.height);
  return text;
}

zip_item item(const char* name, std::string data, uint32_t declared_size = 0) {
  zip_item made{name, std::move(data)};
  if (declared_size) made.declared_size = declared_size;
  return made;
}

}  // namespace

TEST(package_rules, unpacks_what_each_kind_may_hold_and_names_what_it_may_not) {
  const std::string r = "report", s = "scan";
  package_files files = screenshot_files(), blank = screenshot_files(), bad_graph = screenshot_files(),
                bits16 = screenshot_files(), no_scan, empty_report;
  no_scan.stack_scan = "";  // an empty log still travels, stored
  empty_report.report = "";
  bad_graph.read_graph = "BMnot really";
  bits16.screenshot = make_bmp(4, 4, test_pattern, {16, false, 40});
  // A blank full-size BMP deflates to a few kilobytes: the default pixel limit keeps it out.
  blank.screenshot = make_bmp(2100, 2100, [](uint32_t, uint32_t) { return 0u; });
  std::vector<zip_item> images;
  for (const char* name : {"screenshot.bmp", "read_graph.bmp", "write_graph.bmp"})
    images.push_back(item(name, "BM", 30u << 20));  // each allowed, together too much
  images.push_back(item("report.folvi.txt", r));
  images.push_back(item("stack_scan.txt", s));
  // The size lies are only declared: were anything inflated, these would fail later and differently.
  const std::tuple<const char*, std::string, package_limits> cases[] = {
      {"screenshot", build_package(files), {}},
      {"report", build_package(no_scan), {}},
      {"report", build_package(files), {}},
      {"report", build_package(empty_report), {}},
      {"video", build_package({}), {}},
      {"screenshot", build_package({}), {}},
      {"report", build_zip({item("stack_scan.txt", s)}), {}},
      {"report", build_zip({item("report.folvi.txt", r)}), {}},
      {"report", build_zip({item("report.folvi.txt", r), item("notes.txt", s)}), {}},
      {"report", build_zip({item("../report.folvi.txt", r), item("stack_scan.txt", s)}), {}},
      {"report", build_zip({item("C:\\report.folvi.txt", r)}), {}},
      {"report", build_zip({item("sub/stack_scan.txt", s)}), {}},
      {"report", build_zip({item("report.folvi.txt", r), item("report.folvi.txt", r), item("stack_scan.txt", s)}), {}},
      {"report", build_zip({item("stack_scan.txt", s), item("report.folvi.txt", r)}), {}},
      {"report", build_zip({item("report.folvi.txt\n\x01", r)}), {}},
      {"report", build_zip({item("report.folvi.txt", "small", (8u << 20) + 1), item("stack_scan.txt", s)}), {}},
      {"report", build_zip({item("report.folvi.txt", "small", 0xFFFFFFFF), item("stack_scan.txt", s)}), {}},
      {"screenshot", build_zip(images), {}},
      {"report",
       build_zip({item("report.folvi.txt", r), item("stack_scan.txt", std::string(16u << 20, 'A'), 100)}),
       {}},
      {"screenshot", build_package(bad_graph), {}},
      {"screenshot", build_package(bits16), {}},
      {"screenshot", build_package(blank), {}},
      // Pixels are what conversion costs: refused on the BMP header, before any is decoded.
      {"screenshot", build_package(files), {.max_image_pixels = 1200, .max_package_pixels = 1631}},
      {"screenshot", build_package(files), {.max_image_pixels = 1199}},
      {"screenshot", build_package(files), {.max_image_pixels = 1200, .max_package_pixels = 1630}},
  };
  std::string transcript;
  for (const auto& [type, package, limits] : cases)
    transcript += type + (": " + unpacked(type, package, limits)) + "\n";
  expect_golden(transcript, "package_rules.txt");
}
