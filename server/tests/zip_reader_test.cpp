// The package reader against archives from our test builder, from libzip, and lying ones.
#include <gtest/gtest.h>
#include <zip.h>

#include "test_zip.h"
#include "zip_reader.h"

namespace {

const zip_directory_limits limits{5, 64};

std::vector<zip_entry> directory_of(const std::string& archive) {
  std::vector<zip_entry> entries;
  std::string error;
  EXPECT_TRUE(read_zip_directory(archive, limits, entries, error)) << error;
  return entries;
}

std::string directory_error(const std::string& archive) {
  std::vector<zip_entry> entries;
  std::string error;
  EXPECT_FALSE(read_zip_directory(archive, limits, entries, error));
  return error;
}

std::string extract_error(const zip_item& item) {
  std::string archive = build_zip({item});
  std::vector<zip_entry> entries = directory_of(archive);
  std::string out, error;
  EXPECT_EQ(entries.size(), 1u);
  if (entries.size() == 1) {
    EXPECT_FALSE(extract_zip_entry(archive, entries[0], out, error));
  }
  return error;
}

// libzip writes the archive in memory, as an independent writer would.
std::string libzip_archive(const std::vector<std::pair<std::string, std::string>>& files) {
  zip_error_t error;
  zip_source_t* source = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_t* archive = zip_open_from_source(source, ZIP_TRUNCATE, &error);
  zip_source_keep(source);
  for (const auto& [name, data] : files) {
    zip_source_t* file = zip_source_buffer(archive, data.data(), data.size(), 0);
    zip_int64_t index = zip_file_add(archive, name.c_str(), file, ZIP_FL_ENC_UTF_8);
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

}  // namespace

TEST(zip_reader, lists_and_extracts_a_client_package) {
  package_files files;
  files.screenshot = std::string(5000, 'x') + "BM";
  files.stack_scan = "ok";  // 3 bytes or less: stored
  std::string archive = build_package(files);
  std::vector<zip_entry> entries = directory_of(archive);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "screenshot.bmp");
  EXPECT_EQ(entries[0].method, 8);
  EXPECT_EQ(entries[1].name, "report.folvi.txt");
  EXPECT_EQ(entries[2].method, 0);
  std::string out, error;
  ASSERT_TRUE(extract_zip_entry(archive, entries[0], out, error)) << error;
  EXPECT_EQ(out, files.screenshot);
  ASSERT_TRUE(extract_zip_entry(archive, entries[2], out, error)) << error;
  EXPECT_EQ(out, "ok");
}

TEST(zip_reader, reads_what_libzip_writes) {
  std::string report = "Read.best.io                    4 x 65536 bytes, raw seq\r\n";
  std::string archive = libzip_archive({{"report.folvi.txt", report}, {"stack_scan.txt", "abc"}});
  std::vector<zip_entry> entries = directory_of(archive);
  ASSERT_EQ(entries.size(), 2u);
  std::string out, error;
  ASSERT_TRUE(extract_zip_entry(archive, entries[0], out, error)) << error;
  EXPECT_EQ(out, report);
  ASSERT_TRUE(extract_zip_entry(archive, entries[1], out, error)) << error;
  EXPECT_EQ(out, "abc");
}

TEST(zip_reader, refuses_archives_whose_structure_is_off) {
  zip_item a{"report.folvi.txt", "report text"}, b{"stack_scan.txt", "scan text"};
  std::string good = build_zip({a, b});

  EXPECT_NE(directory_error(good.substr(0, good.size() - 1)).find("not a ZIP archive"), std::string::npos);
  EXPECT_NE(directory_error("PK").find("too short"), std::string::npos);
  EXPECT_NE(directory_error(build_zip({a}, {{}, "hello", ""})).find("not a ZIP archive"), std::string::npos);
  EXPECT_NE(directory_error(build_zip({a, b}, {{}, "", "junk"})).find("gap between entries"), std::string::npos);
  EXPECT_NE(directory_error(build_zip({a, b}, {{std::nullopt, 0u}, "", ""})).find("overlapping entries"),
            std::string::npos);
  EXPECT_NE(directory_error(build_zip({})).find("empty archive"), std::string::npos);
  EXPECT_NE(directory_error(build_zip({a, a, a, a, a, a})).find("too many entries"), std::string::npos);

  zip_item encrypted = a, descriptor = a, bzip2 = a, renamed = a, stored_lie = a, long_name = a;
  encrypted.flags = 1;
  descriptor.flags = 8;
  bzip2.method = 12;
  renamed.local_name = "../../etc/passwd";
  stored_lie.deflate = false;
  stored_lie.declared_size = 4;
  long_name.name = std::string(65, 'n');
  EXPECT_NE(directory_error(build_zip({encrypted})).find("encrypted"), std::string::npos);
  EXPECT_NE(directory_error(build_zip({descriptor})).find("data descriptors"), std::string::npos);
  EXPECT_NE(directory_error(build_zip({bzip2})).find("compression method 12"), std::string::npos);
  EXPECT_NE(directory_error(build_zip({renamed})).find("local header disagrees"), std::string::npos);
  EXPECT_NE(directory_error(build_zip({stored_lie})).find("sizes differ"), std::string::npos);
  EXPECT_NE(directory_error(build_zip({long_name})).find("too long"), std::string::npos);
}

TEST(zip_reader, inflates_exactly_the_declared_size_or_fails) {
  // A bomb: 64 MiB of zeros that says it is 1000 bytes; inflation stops one byte past that.
  zip_item bomb{"report.folvi.txt", std::string(64u << 20, '\0')};
  bomb.declared_size = 1000;
  EXPECT_NE(extract_error(bomb).find("more than its declared size"), std::string::npos);

  zip_item short_one{"report.folvi.txt", "twelve bytes"};
  short_one.declared_size = 13;
  EXPECT_NE(extract_error(short_one).find("less than its declared size"), std::string::npos);

  zip_item bad_crc{"report.folvi.txt", "some text"};
  bad_crc.declared_crc = 0x12345678;
  EXPECT_NE(extract_error(bad_crc).find("CRC-32 mismatch"), std::string::npos);

  zip_item stored_bad_crc = bad_crc;
  stored_bad_crc.deflate = false;
  EXPECT_NE(extract_error(stored_bad_crc).find("CRC-32 mismatch"), std::string::npos);

  std::string text(4000, 'q');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + (i * 7919) % 26);
  std::string stream = deflate_raw(text);
  zip_item cut{"report.folvi.txt", text}, trailing = cut, garbage = cut;
  cut.compressed = stream.substr(0, stream.size() / 2);
  trailing.compressed = stream + "xyz";
  garbage.compressed = std::string("\xff\xff\xff\xff\xff\xff", 6);
  EXPECT_NE(extract_error(cut).find("ends early"), std::string::npos);
  EXPECT_NE(extract_error(trailing).find("bytes after the end"), std::string::npos);
  EXPECT_NE(extract_error(garbage).find("damaged compressed data"), std::string::npos);
}
