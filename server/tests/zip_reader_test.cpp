// The package reader against archives from our test builder, from libzip, and lying ones.
#include <gtest/gtest.h>
#include <zip.h>

#include <functional>

#include "golden.h"
#include "test_zip.h"
#include "zip_reader.h"

namespace {

const zip_directory_limits limits{5, 64};

// Every entry's text, or the error of the directory walk or of the first entry that fails.
std::string read_all(const std::string& archive) {
  std::vector<zip_entry> entries;
  std::string out, error, texts;
  if (!read_zip_directory(archive, limits, entries, error)) return "directory: " + error;
  for (const zip_entry& entry : entries) {
    if (!extract_zip_entry(archive, entry, out, error)) return "extract: " + error;
    texts += entry.name + " (method " + std::to_string(entry.method) + ") " + out.substr(0, 20) + ";";
  }
  return texts;
}

// libzip writes the archive in memory, as an independent writer would.
std::string libzip_archive(const std::vector<std::pair<std::string, std::string>>& files) {
  zip_error_t error;
  zip_source_t* source = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_t* archive = zip_open_from_source(source, ZIP_TRUNCATE, &error);
  zip_source_keep(source);
  for (const auto& [name, data] : files) {
    zip_int64_t index =
        zip_file_add(archive, name.c_str(), zip_source_buffer(archive, data.data(), data.size(), 0), ZIP_FL_ENC_UTF_8);
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), data.size() > 3 ? ZIP_CM_DEFLATE : ZIP_CM_STORE,
                             9);
  }
  zip_close(archive);
  zip_stat_t stat;
  zip_source_open(source);
  zip_source_stat(source, &stat);
  std::string bytes(stat.size, '\0');
  zip_source_read(source, bytes.data(), stat.size);
  zip_source_close(source);
  zip_source_free(source);
  return bytes;
}

zip_item lie(zip_item item, const std::function<void(zip_item&)>& change) {
  change(item);
  return item;
}

}  // namespace

TEST(zip_reader, reads_good_archives_and_names_what_is_wrong_with_bad_ones) {
  zip_item a{"report.folvi.txt", "report text"}, b{"stack_scan.txt", "scan text"};
  package_files files;
  files.screenshot = std::string(5000, 'x') + "BM";
  files.stack_scan = "ok";  // 3 bytes or less: stored
  std::string good = build_zip({a, b});
  std::string text(4000, 'q');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + (i * 7919) % 26);
  std::string stream = deflate_raw(text);
  zip_item deflated{"report.folvi.txt", text};
  const std::pair<const char*, std::string> cases[] = {
      {"client package", build_package(files)},
      {"libzip",
       libzip_archive({{"report.folvi.txt", "Read.best.io  4 x 65536 bytes\r\n"}, {"stack_scan.txt", "abc"}})},
      {"last byte cut", good.substr(0, good.size() - 1)},
      {"two bytes", "PK"},
      {"prefix", build_zip({a}, {{}, "hello", ""})},
      {"gap", build_zip({a, b}, {{}, "", "junk"})},
      {"overlap", build_zip({a, b}, {{std::nullopt, 0u}, "", ""})},
      {"empty", build_zip({})},
      {"six entries", build_zip({a, a, a, a, a, a})},
      {"encrypted", build_zip({lie(a, [](zip_item& i) { i.flags = 1; })})},
      {"descriptor", build_zip({lie(a, [](zip_item& i) { i.flags = 8; })})},
      {"bzip2", build_zip({lie(a, [](zip_item& i) { i.method = 12; })})},
      {"local name", build_zip({lie(a, [](zip_item& i) { i.local_name = "../../etc/passwd"; })})},
      {"stored size", build_zip({lie(a, [](zip_item& i) { i.deflate = false, i.declared_size = 4; })})},
      {"long name", build_zip({lie(a, [](zip_item& i) { i.name = std::string(65, 'n'); })})},
      // 64 MiB of zeros that say they are 1000 bytes: inflation stops one byte past that.
      {"bomb", build_zip({lie({"r", std::string(64u << 20, '\0')}, [](zip_item& i) { i.declared_size = 1000; })})},
      {"short", build_zip({lie({"r", "twelve bytes"}, [](zip_item& i) { i.declared_size = 13; })})},
      {"crc", build_zip({lie(a, [](zip_item& i) { i.declared_crc = 0x12345678; })})},
      {"stored crc", build_zip({lie(a, [](zip_item& i) { i.deflate = false, i.declared_crc = 0x12345678; })})},
      {"stream cut",
       build_zip({lie(deflated, [&](zip_item& i) { i.compressed = stream.substr(0, stream.size() / 2); })})},
      {"trailing", build_zip({lie(deflated, [&](zip_item& i) { i.compressed = stream + "xyz"; })})},
      {"garbage", build_zip({lie(deflated, [](zip_item& i) { i.compressed = std::string(6, '\xff'); })})},
  };
  std::string transcript;
  for (const auto& [label, archive] : cases) transcript += std::string(label) + ": " + read_all(archive) + "\n";
  expect_golden(transcript, "zip_reader.txt");
}
