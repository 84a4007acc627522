#include "share/multipart_body.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "golden.h"
#include "recorded_errors.h"
#include "scratch_dir.h"

namespace {

std::string text_of(const heap_buffer& body) {
  return std::string(reinterpret_cast<const char*>(body.data()), body.size());
}

const char package_bytes[] = "PK\x03\x04\0\r\n--i-will-not-crash\r\n\xff";
const std::string package(package_bytes, sizeof package_bytes - 1);

}  // namespace

TEST(multipart_body, type_and_package_give_the_exact_bytes) {
  const form_part parts[] = {text_field("type", "report"),
                             memory_file_field("data", L"package.zip", package.data(), uint32_t(package.size())),
                             form_part()};
  heap_buffer body;
  recorded_errors errors;
  ASSERT_TRUE(build_multipart_body(parts, body, &errors));
  EXPECT_TRUE(errors.all.empty());
  expect_golden(text_of(body), "share/multipart_type_and_package.bin");
  EXPECT_EQ(body.capacity(), body.size());  // sized exactly, no growth factor
  EXPECT_EQ(body.data()[body.size()], 0);
}

TEST(multipart_body, skipped_entries_and_file_names) {
  scratch_dir dir(L"multipart");
  const std::wstring path = dir.file(L"folvi-multipart-tail.bin", "0123456789");
  const form_part parts[] = {text_field("", "left out: empty name"),
                             text_field("none", nullptr),
                             disk_file_field("tail", path.c_str(), 4),
                             disk_file_field("whole", path.c_str()),
                             disk_file_field("gone", L"C:\\no\\such\\file.bin"),
                             memory_file_field("wide", L"r\u00e9sum\u00e9 \u20ac.zip", "ab", 2),  // 2- and 3-byte
                             memory_file_field("bare", L"no-backslash.txt", "", 0),
                             form_part(),
                             text_field("after", "the end of the list")};
  heap_buffer body;
  recorded_errors errors;
  ASSERT_TRUE(build_multipart_body(parts, body, &errors));
  EXPECT_TRUE(errors.all.empty());
  expect_golden(text_of(body), "share/multipart_skipped_entries_and_file_names.bin");
}

TEST(multipart_body, a_file_open_for_writing_elsewhere_is_still_read) {
  scratch_dir dir(L"multipart_open");
  const std::wstring path = dir.file(L"open.txt", "still being written");
  HANDLE writer =
      CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  const form_part parts[] = {disk_file_field("log", path.c_str()), form_part()};
  heap_buffer body;
  EXPECT_TRUE(build_multipart_body(parts, body, nullptr));
  EXPECT_NE(text_of(body).find("\r\n\r\nstill being written\r\n--i-will-not-crash\r\n"), std::string::npos);
  CloseHandle(writer);
}

TEST(multipart_body, a_size_past_32_bits_fails_like_an_allocation) {
  const char small[] = "x";
  // The sizes add up past 4 GiB; nothing is copied, so the short buffer is never read past its end.
  const form_part parts[] = {text_field("type", "report"), memory_file_field("data", L"big.bin", small, 0xFFFFFF80u),
                             form_part()};
  heap_buffer body;
  recorded_errors errors;
  EXPECT_FALSE(build_multipart_body(parts, body, &errors));
  EXPECT_EQ(errors.only(), "HeapAlloc 11111 95 " + std::to_string(95ull + 138 + 4 + 7 + 0xFFFFFF80ull));

  const form_part at_limit[] = {memory_file_field("d", L"f", small, 0xFFFFFFFFu - 138 - 2), form_part()};
  heap_buffer other;
  recorded_errors more;
  EXPECT_FALSE(build_multipart_body(at_limit, other, &more));
  EXPECT_EQ(more.only(), "HeapAlloc 11111 0 4294967295");
  // Once failed, the buffer stays failed.
  EXPECT_TRUE(other.failed());
  EXPECT_FALSE(other.resize(1));
}
