// A screenshot share with drawn images through the real upload window, for share_e2e.sh: it posts
// to the server that the environment names (FOLVI_SHARE_HOST, FOLVI_SHARE_PORT, FOLVI_SHARE_TLS).
// Prints "box FLAGS TEXT" for a message box (answered OK), "link URL" for a link opened and
// "result N" for the upload's result.
//   share_dialog_probe screenshot REPORT_FILE
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "share/dialog_upload.h"
#include "share/upload_xchg.h"
#include "support/api_error.h"
#include "support/text.h"
#include "results/report_files_api.h"
#include "toolkit/bmp_file.h"
#include "window_driver.h"

namespace {

class probe_ui final : public share_ui_cb {
 public:
  probe_ui() : files_(make_win32_report_files(&errors_)) {}
  int message_box(const std::wstring& text, uint32_t flags) override {
    std::printf("box %lx %s\n", (unsigned long)flags, to_utf8(text).c_str());
    return IDOK;
  }
  void open_link(const std::wstring& link) override { std::printf("link %s\n", to_utf8(link).c_str()); }
  report_files_api& report_files() override { return *files_; }
  http_target upload_target() override { return current_upload_target(&errors_); }
  api_error_cb* upload_errors() override { return &errors_; }

 private:
  api_error_logger errors_;
  std::unique_ptr<report_files_api> files_;
};

std::string read_text(const wchar_t* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A picture the share page must show: magenta bands over a grey gradient.
std::string drawn_bmp(int width, int height) {
  captured_image image;
  image.width = width;
  image.height = height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.pixels.push_back((x / 20) % 4 == 1 ? 0xFFFF00FFu
                                               : 0xFF000000u | (0x010101u * uint32_t(64 + (y * 128) / height)));
  return bmp_file(image);
}

int screenshot(const wchar_t* report_file) {
  screenshot_set images;
  images.window = drawn_bmp(320, 240);
  images.read_graph = drawn_bmp(160, 100);
  images.write_graph = drawn_bmp(180, 100);
  const share_package package = screenshot_share_package(
      images, read_text(report_file), "FOLVI Vezad, version 0.1.2.3\r\nstorage scan of the probe\r\n");
  probe_ui ui;
  window_driver uploading(L"FOLVI Screenshot", [](HWND dialog) { wait_until([&] { return !IsWindow(dialog); }); });
  std::printf("result %d\n", int(upload_share(ui, nullptr, package)));
  if (!uploading.finish()) std::printf("the upload window never showed\n");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"screenshot" && argc == 3) return screenshot(argv[2]);
  std::fprintf(stderr, "usage: share_dialog_probe screenshot REPORT_FILE\n");
  return 2;
}
