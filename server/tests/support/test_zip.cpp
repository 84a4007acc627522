#include "test_zip.h"

#include <zlib.h>

#include <stdexcept>

#include "little_endian.h"

std::string deflate_raw(const std::string& data, int level) {
  z_stream z{};
  if (deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2");
  std::string out(deflateBound(&z, data.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

std::string build_zip(const std::vector<zip_item>& items, const zip_layout& layout) {
  std::string out = layout.prefix, directory;
  for (size_t i = 0; i < items.size(); ++i) {
    const zip_item& item = items[i];
    uint16_t method = item.method.value_or(item.deflate ? 8 : 0);
    std::string body = item.compressed.value_or(item.deflate ? deflate_raw(item.data) : item.data);
    uint32_t crc = item.declared_crc.value_or(static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(item.data.data()), static_cast<uInt>(item.data.size()))));
    uint32_t size = item.declared_size.value_or(static_cast<uint32_t>(item.data.size()));
    uint32_t offset = static_cast<uint32_t>(out.size());
    auto common = [&](std::string& to) {
      // Modified 2024-01-31 09:09:02.
      put_fields(to, {{2, item.flags}, {2, method}, {2, 0x4a21}, {2, 0x583f}, {4, crc}});
      put_fields(to, {{4, static_cast<uint32_t>(body.size())}, {4, size}});
    };
    const std::string& local_name = item.local_name.value_or(item.name);
    put_fields(out, {{4, 0x04034b50}, {2, 20}});
    common(out);
    put_fields(out, {{2, static_cast<uint32_t>(local_name.size())}, {2, 0}});
    out += local_name + body;
    put_fields(directory, {{4, 0x02014b50}, {2, 20}, {2, 20}});
    common(directory);
    std::optional<uint32_t> moved = i < layout.central_offsets.size() ? layout.central_offsets[i] : std::nullopt;
    // Name length, no extra field or comment, disk 0, no attributes, the local header's offset.
    put_fields(directory, {{2, static_cast<uint32_t>(item.name.size())}, {2, 0}, {2, 0}, {2, 0}, {2, 0}});
    put_fields(directory, {{4, 0}, {4, moved.value_or(offset)}});
    directory += item.name;
  }
  uint32_t directory_offset = static_cast<uint32_t>(out.size()), count = static_cast<uint32_t>(items.size());
  out += directory;
  put_fields(out, {{4, 0x06054b50}, {2, 0}, {2, 0}, {2, count}, {2, count}});
  put_fields(out, {{4, static_cast<uint32_t>(directory.size())}, {4, directory_offset}});
  put_fields(out, {{2, static_cast<uint32_t>(layout.comment.size())}});
  return out + layout.comment;
}

std::string build_package(const package_files& files) {
  std::vector<zip_item> items;
  auto add = [&](const char* name, const std::string& data, bool always) {
    if (data.empty() && !always) return;
    items.emplace_back(name, data);
    items.back().deflate = data.size() > 3;
  };
  add("screenshot.bmp", files.screenshot, false);
  add("read_graph.bmp", files.read_graph, false);
  add("write_graph.bmp", files.write_graph, false);
  add("report.folvi.txt", files.report, true);
  add("stack_scan.txt", files.stack_scan, true);
  return build_zip(items);
}
