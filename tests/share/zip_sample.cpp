// Writes share packages for the ZIP readers of the test script: for each package its archive
// (NAME.zip) and every entry's expected content (NAME/ENTRY), packed at a fixed local time.
#include <windows.h>

#include <cstdio>
#include <string>

#include "share/share_package.h"
#include "support/api_error.h"
#include "toolkit/bmp_file.h"

namespace {

bool write_file(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD done = 0;
  BOOL ok = WriteFile(h, bytes.data(), DWORD(bytes.size()), &done, nullptr);
  CloseHandle(h);
  return ok && done == bytes.size();
}

// A BMP of a 1280 x 800 window: a gradient with noise and a few flat areas.
std::string bmp_sized_image() {
  captured_image image;
  image.width = 1280;
  image.height = 800;
  uint32_t seed = 12345;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      seed = seed * 1103515245u + 12345u;
      const bool flat = (x / 160 + y / 100) % 3 == 0;
      image.pixels.push_back(flat ? 0xF0F0F0u : (seed >> 24) << 16 | uint32_t(y & 0xFF) << 8 | uint32_t(x & 0xFF));
    }
  return bmp_file(image);
}

bool write_package(const std::wstring& folder, const wchar_t* name, const share_package& package, const SYSTEMTIME& at,
                   api_error_cb& errors) {
  std::string zip;
  if (!build_package_zip(package, zip, &errors, &at)) return false;
  const std::wstring dir = folder + L"\\" + name;
  CreateDirectoryW(dir.c_str(), nullptr);
  for (const package_entry& e : package_entries(package))
    if (!write_file(dir + L"\\" + std::wstring(e.name, e.name + strlen(e.name)), *e.content)) return false;
  return write_file(dir + L".zip", zip);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    fwprintf(stderr, L"usage: zip_sample FOLDER\n");
    return 2;
  }
  api_error_logger errors;
  const SYSTEMTIME at{2024, 2, 4, 29, 13, 45, 59, 0};  // odd seconds are rounded down in DOS time

  share_package screenshot;
  screenshot.screenshot = true;
  screenshot.screenshot_image = bmp_sized_image();
  screenshot.read_graph_image = "BM\x01\x02";  // 4 bytes: deflated
  screenshot.write_graph_image = "BM\x03";     // 3 bytes: stored
  screenshot.report_text = "";                 // 0 bytes: stored
  screenshot.stack_scan_text = "FOLVI Vezad, version 0.1.2.3\r\n";

  share_package report;
  report.report_text = "Report one\r\n\r\n-------\r\n\r\nReport two\r\n";
  report.stack_scan_text = std::string(5000, 's');

  share_package texts_only;  // a report share whose texts are both empty
  if (!write_package(argv[1], L"screenshot", screenshot, at, errors) ||
      !write_package(argv[1], L"report", report, at, errors) ||
      !write_package(argv[1], L"empty", texts_only, at, errors)) {
    api_error_info e = errors.last_error();
    fprintf(stderr, "failed: %s %lu %s\n", e.api.c_str(), (unsigned long)e.code, e.detail.c_str());
    return 1;
  }
  return 0;
}
