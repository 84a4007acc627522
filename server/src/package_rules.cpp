#include "package_rules.h"

#include <algorithm>

#include "bmp_image.h"
#include "html_text.h"
#include "png_encoder.h"
#include "zip_reader.h"

namespace {

struct known_entry {
  const char* file_name;
  const char* image_name;  // null for the texts
};

// In the order a package lists them.
constexpr known_entry known_entries[] = {
    {"screenshot.bmp", "screenshot"}, {"read_graph.bmp", "read_graph"}, {"write_graph.bmp", "write_graph"},
    {"report.folvi.txt", nullptr},    {"stack_scan.txt", nullptr},
};
constexpr int entry_kinds = 5;
constexpr int report_rank = 3;
constexpr int stack_scan_rank = 4;

bool fail(std::string& error, std::string reason) {
  error = std::move(reason);
  return false;
}

int rank_of(std::string_view name) {
  for (int i = 0; i < entry_kinds; ++i)
    if (name == known_entries[i].file_name) return i;
  return -1;
}

bool looks_like_path(std::string_view name) {
  return name.find_first_of("/\\:") != std::string_view::npos || name.find("..") != std::string_view::npos;
}

// Checks names, order and declared sizes; fills `ranks` parallel to `entries`.
bool check_entries(bool screenshot, const std::vector<zip_entry>& entries, const package_limits& limits,
                   std::vector<int>& ranks, std::string& error) {
  int last_rank = -1;
  uint64_t total = 0;
  bool seen[entry_kinds] = {};
  for (const zip_entry& entry : entries) {
    int rank = rank_of(entry.name);
    std::string quoted = "\"" + printable_name(entry.name) + "\"";
    if (rank < 0)
      return fail(error, (looks_like_path(entry.name) ? "entry name with a path: " : "unknown entry: ") + quoted);
    if (seen[rank]) return fail(error, "duplicate entry: " + quoted);
    if (rank < last_rank) return fail(error, "entries out of order: " + quoted);
    if (!screenshot && known_entries[rank].image_name)
      return fail(error, "a report share carries only the texts, not " + quoted);
    uint32_t cap = known_entries[rank].image_name ? limits.max_image_size : limits.max_text_size;
    if (entry.size > cap) return fail(error, "entry too large: " + quoted);
    total += entry.size;
    if (total > limits.max_total_size) return fail(error, "package too large when unpacked");
    seen[rank] = true;
    last_rank = rank;
    ranks.push_back(rank);
  }
  if (!seen[report_rank]) return fail(error, "report.folvi.txt missing");
  if (!seen[stack_scan_rank]) return fail(error, "stack_scan.txt missing");
  if (screenshot && !seen[0]) return fail(error, "screenshot.bmp missing");
  return true;
}

}  // namespace

std::string printable_name(std::string_view name) { return printable_ascii(name, 48); }

bool unpack_package(std::string_view type, std::string_view package, const package_limits& limits,
                    share_contents& contents, std::string& error) {
  if (type != "screenshot" && type != "report")
    return fail(error, "field \"type\" must be \"screenshot\" or \"report\"");
  bool screenshot = type == "screenshot";
  std::vector<zip_entry> entries;
  zip_directory_limits directory_limits{entry_kinds, 64};
  if (!read_zip_directory(package, directory_limits, entries, error)) return false;
  std::vector<int> ranks;
  if (!check_entries(screenshot, entries, limits, ranks, error)) return false;

  contents = share_contents{};
  contents.kind = std::string(type);
  uint64_t pixels = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    std::string data;
    if (!extract_zip_entry(package, entries[i], data, error)) return false;
    const known_entry& known = known_entries[ranks[i]];
    if (ranks[i] == report_rank) {
      contents.report = std::move(data);
    } else if (ranks[i] == stack_scan_rank) {
      contents.stack_scan = std::move(data);
    } else {
      rgb_image image;
      uint64_t pixels_left = limits.max_package_pixels - pixels;
      uint64_t max_pixels = std::min(limits.max_image_pixels, pixels_left);
      if (!decode_bmp(data, image, error, max_pixels)) {
        if (max_pixels < limits.max_image_pixels && error.rfind("BMP of ", 0) == 0)
          error = "the package's images have more than " + std::to_string(limits.max_package_pixels) + " pixels";
        return fail(error, std::string(known.file_name) + ": " + error);
      }
      pixels += uint64_t{image.width} * image.height;
      contents.images.push_back({known.image_name, image.width, image.height, encode_png(image)});
    }
  }
  if (!screenshot && contents.report.empty()) return fail(error, "report.folvi.txt is empty");
  return true;
}
