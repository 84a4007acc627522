// What an uploaded package may hold, and its unpacking into what the server keeps.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Caps on declared (uncompressed) sizes, checked before anything is inflated.
struct package_limits {
  uint32_t max_text_size = 8u << 20;    // report.folvi.txt, stack_scan.txt
  uint32_t max_image_size = 32u << 20;  // each BMP
  uint64_t max_total_size = 64u << 20;  // all entries together
  // Converting costs time and memory by the pixel: a few blank megabytes deflate to almost nothing.
  uint64_t max_image_pixels = 4u << 20;    // each BMP
  uint64_t max_package_pixels = 6u << 20;  // all BMPs of a package together
};

struct share_image {
  std::string name;  // "screenshot", "read_graph" or "write_graph"
  uint32_t width = 0;
  uint32_t height = 0;
  std::string png;
};

struct share_contents {
  std::string kind;  // "screenshot" or "report"
  std::string report;
  std::string stack_scan;
  std::vector<share_image> images;  // in package order
};

// `type` is the form field "type"; `package` the bytes of the field "data". Entries must be
// among "screenshot.bmp", "read_graph.bmp", "write_graph.bmp", "report.folvi.txt" and
// "stack_scan.txt", in that order, each at most once; both texts are always there; a report
// share holds only the texts, a screenshot share holds "screenshot.bmp". BMPs become PNGs.
bool unpack_package(std::string_view type, std::string_view package, const package_limits& limits,
                    share_contents& contents, std::string& error);

// A client-supplied name made safe to quote in a reply or a log line.
std::string printable_name(std::string_view name);
