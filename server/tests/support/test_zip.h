// Builds ZIP archives byte by byte for the tests, including ones whose headers lie.
#pragma once
#include <cstdint>
#include <optional>
#include <utility>
#include <string>
#include <vector>

struct zip_item {
  zip_item() = default;
  zip_item(std::string name, std::string data) : name(std::move(name)), data(std::move(data)) {}

  std::string name;
  std::string data;
  bool deflate = true;  // else stored
  // Lies told in both headers (the tests of the directory walk want them to agree):
  std::optional<uint32_t> declared_size;
  std::optional<uint32_t> declared_crc;
  std::optional<uint16_t> method;
  uint16_t flags = 0;
  std::optional<std::string> compressed;  // the bytes written instead of the real compression
  std::optional<std::string> local_name;  // a different name in the local header only
};

struct zip_layout {
  std::vector<std::optional<uint32_t>> central_offsets;  // per item: point elsewhere
  std::string comment;
  std::string prefix;  // bytes before the first local header
};

std::string deflate_raw(const std::string& data, int level = 9);
std::string build_zip(const std::vector<zip_item>& items, const zip_layout& layout = {});

// The five entries of a package, in order, each only when its text is not empty.
struct package_files {
  std::string screenshot, read_graph, write_graph;
  std::string report = "Recorded                        2024/01/31 09:05:00\r\n";
  std::string stack_scan = "scan log\r\n";
};
// Like the client: Deflate level 9, entries of 3 bytes or less stored.
std::string build_package(const package_files& files);
