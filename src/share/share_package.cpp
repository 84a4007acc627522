#include "share/share_package.h"

#include "share/zip_writer.h"

std::vector<package_entry> package_entries(const share_package& package) {
  std::vector<package_entry> entries;
  if (!package.screenshot_image.empty()) entries.push_back({"screenshot.bmp", &package.screenshot_image});
  if (!package.read_graph_image.empty()) entries.push_back({"read_graph.bmp", &package.read_graph_image});
  if (!package.write_graph_image.empty()) entries.push_back({"write_graph.bmp", &package.write_graph_image});
  entries.push_back({"report.folvi.txt", &package.report_text});
  entries.push_back({"stack_scan.txt", &package.stack_scan_text});
  return entries;
}

bool build_package_zip(const share_package& package, std::string& zip, api_error_cb* errors,
                       const SYSTEMTIME* packed_at) {
  SYSTEMTIME now;
  if (!packed_at) {
    GetLocalTime(&now);
    packed_at = &now;
  }
  zip_writer writer(*packed_at);
  for (const package_entry& entry : package_entries(package))
    if (!writer.add(entry.name, entry.content->data(), entry.content->size(), errors)) return false;
  return writer.finish(zip, errors);
}

const char* share_type(const share_package& package) { return package.screenshot ? "screenshot" : "report"; }
