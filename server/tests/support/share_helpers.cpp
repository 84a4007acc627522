#include "share_helpers.h"

#include "synthetic_reports.h"
#include "test_images.h"
#include "upload_body.h"

package_files screenshot_files() {
  package_files files;
  files.screenshot = make_bmp(320, 200, test_pattern);
  files.read_graph = make_bmp(160, 90, test_pattern);
  files.write_graph = make_bmp(160, 90, [](uint32_t x, uint32_t y) { return test_pattern(y, x); });
  files.report =
      "Recorded                        2024/01/31 09:05:00\r\n"
      "Device.type                     SSD\r\n"
      "Read.best.speed.decimal         560.1 MBps\r\n"
      "Read.best.io                    4 x 1048576 bytes, raw    \r\n";
  return files;
}

std::string screenshot_package() { return build_package(screenshot_files()); }

std::string report_package(const std::string& report) {
  package_files files;
  files.report = report;
  return build_package(files);
}

std::vector<std::pair<std::string, std::string>> synthetic_site_uploads() {
  const synthetic_device &ssd = synthetic_fast_ssd, &usb = synthetic_usb_disk;
  std::vector<std::pair<std::string, std::string>> uploads;
  for (uint32_t machine = 0; machine < 6; ++machine) {
    uploads.emplace_back("report", report_package(synthetic_report(ssd, machine, 1)));
    uploads.emplace_back("report", report_package(synthetic_report(usb, 100 + machine, 1)));
  }
  package_files files = screenshot_files();
  files.report = synthetic_report(ssd, 50, 2);
  uploads.emplace_back("screenshot", build_package(files));
  return uploads;
}

std::optional<http_reply> post_upload(int port, const std::string& type, const std::string& package) {
  return http_exchange(port, upload_request(upload_body(type, package)));
}

std::string share_id_of(const http_reply& reply) {
  size_t at = reply.body.rfind("/s/");
  return at == std::string::npos ? std::string() : reply.body.substr(at + 3);
}
