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
      put16(to, item.flags);
      put16(to, method);
      put16(to, 0x4a21);  // 09:09:02
      put16(to, 0x583f);  // 2024-01-31
      put32(to, crc);
      put32(to, static_cast<uint32_t>(body.size()));
      put32(to, size);
    };
    const std::string& local_name = item.local_name.value_or(item.name);
    put32(out, 0x04034b50);
    put16(out, 20);
    common(out);
    put16(out, static_cast<uint32_t>(local_name.size()));
    put16(out, 0);
    out += local_name;
    out += body;

    put32(directory, 0x02014b50);
    put16(directory, 20);
    put16(directory, 20);
    common(directory);
    put16(directory, static_cast<uint32_t>(item.name.size()));
    put16(directory, 0);  // extra
    put16(directory, 0);  // comment
    put16(directory, 0);  // disk
    put16(directory, 0);  // internal attributes
    put32(directory, 0);  // external attributes
    std::optional<uint32_t> moved = i < layout.central_offsets.size() ? layout.central_offsets[i] : std::nullopt;
    put32(directory, moved.value_or(offset));
    directory += item.name;
  }
  uint32_t directory_offset = static_cast<uint32_t>(out.size());
  out += directory;
  put32(out, 0x06054b50);
  put16(out, 0);
  put16(out, 0);
  put16(out, static_cast<uint32_t>(items.size()));
  put16(out, static_cast<uint32_t>(items.size()));
  put32(out, static_cast<uint32_t>(directory.size()));
  put32(out, directory_offset);
  put16(out, static_cast<uint32_t>(layout.comment.size()));
  out += layout.comment;
  return out;
}

std::string build_package(const package_files& files) {
  std::vector<zip_item> items;
  auto add = [&](const char* name, const std::string& data, bool always) {
    if (data.empty() && !always) return;
    zip_item item;
    item.name = name;
    item.data = data;
    item.deflate = data.size() > 3;
    items.push_back(item);
  };
  add("screenshot.bmp", files.screenshot, false);
  add("read_graph.bmp", files.read_graph, false);
  add("write_graph.bmp", files.write_graph, false);
  add("report.folvi.txt", files.report, true);
  add("stack_scan.txt", files.stack_scan, true);
  return build_zip(items);
}
