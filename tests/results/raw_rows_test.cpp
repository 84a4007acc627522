#include "results/raw_rows.h"

#include <gtest/gtest.h>

#include "bench/test_def.h"
#include "run_records.h"

constexpr uint32_t raw = flag_no_buffering;
constexpr uint32_t raw_seq = flag_no_buffering | flag_sequential_scan;

namespace {
void expect_row(const raw_row& row, const wchar_t* buffers, const wchar_t* mode, const wchar_t* rate, uint8_t style) {
  EXPECT_EQ(row.buffers, buffers);
  EXPECT_EQ(row.mode, mode);
  EXPECT_EQ(row.rate, rate);
  EXPECT_EQ(row.style, style);
}
}  // namespace

TEST(raw_rows, completed_and_failed_rows) {
  expect_row(result_row(completed(true, 4, 65536, raw_seq, 129400000)), L"  4 x     65536", L"raw seq",
             L"    123.4 MBps       129.4 MBps", style_plain);
  expect_row(result_row(completed(false, 32, 4194304, 0, 0)), L" 32 x   4194304", L"buf    ",
             L"      0.0 MBps         0.0 MBps", style_plain);
  expect_row(result_row(failed(true, 1, 1024, raw, "ReadFile", 87)), L"  1 x      1024", L"raw    ",
             L"ReadFile() failed with 87", style_failed);
}

TEST(raw_rows, headings_and_new_best_styles) {
  raw_rows rows;
  rows.add_result(completed(true, 1, 8192, raw, 2e6));
  rows.add_result(completed(true, 4, 8192, raw, 1e6));
  rows.add_result(completed(true, 8, 8192, raw, 2e6));  // equal is not new
  rows.add_result(completed(true, 16, 8192, raw, 3e6));
  rows.add_result(completed(false, 1, 8192, raw, 5e6));  // writes keep their own best
  const auto& r = rows.rows();
  ASSERT_EQ(r.size(), 8u);
  expect_row(r[0], L"# Read test", L"", L"   [1K = 1024]      [1K = 1000]", style_heading);
  EXPECT_EQ(r[1].style, style_new_best);
  EXPECT_EQ(r[2].style, style_plain);
  EXPECT_EQ(r[3].style, style_plain);
  EXPECT_EQ(r[4].style, style_new_best);
  expect_row(r[5], L"", L"", L"", style_plain);
  expect_row(r[6], L"# Write test", L"", L"   [1K = 1024]      [1K = 1000]", style_heading);
  EXPECT_EQ(r[7].style, style_new_best);
  EXPECT_EQ(rows.best_read_so_far(), 3e6);
  EXPECT_EQ(rows.best_write_so_far(), 5e6);
}

TEST(raw_rows, failed_record_above_best_gets_new_best_style) {
  raw_rows rows;
  rows.add_result(completed(true, 1, 8192, raw, 1e6));
  rows.add_result(failed(true, 4, 8192, raw, "CheckRequestResult", 38, 2e6));
  rows.add_result(failed(true, 8, 8192, raw, "ReadFile", 5));
  EXPECT_EQ(rows.rows()[2].style, style_new_best);
  EXPECT_EQ(rows.rows()[2].rate, L"CheckRequestResult() failed with 38");
  EXPECT_EQ(rows.rows()[3].style, style_failed);
}

TEST(raw_rows, best_block_copies_the_best_rows) {
  raw_rows rows;
  std::vector<test_run> reads = {completed(true, 1, 8192, raw, 1e6), completed(true, 4, 65536, raw_seq, 129400000),
                                 completed(true, 8, 65536, raw, 5e6)};
  std::vector<test_run> writes = {failed(false, 1, 1024, raw, "WriteFile", 87),
                                  failed(false, 4, 1024, raw, "WriteFile", 5)};
  for (const auto& r : reads) rows.add_result(r);
  for (const auto& r : writes) rows.add_result(r);
  const size_t before = rows.size();
  EXPECT_EQ(rows.add_best_block(reads, writes), before);
  const auto& r = rows.rows();
  ASSERT_EQ(r.size(), before + 6);
  expect_row(r[before], L"", L"", L"", style_plain);
  expect_row(r[before + 1], L"Best read rate:", L"", L"", style_best_heading);
  expect_row(r[before + 2], L"  4 x     65536", L"raw seq", L"    123.4 MBps       129.4 MBps", style_best);
  expect_row(r[before + 3], L"", L"", L"", style_plain);
  expect_row(r[before + 4], L"Best write rate:", L"", L"", style_best_heading);
  // Every write failed: the copy keeps the failure text.
  expect_row(r[before + 5], L"  1 x      1024", L"raw    ", L"WriteFile() failed with 87", style_best);
}

TEST(raw_rows, direction_without_records_has_no_heading_and_no_best) {
  raw_rows rows;
  std::vector<test_run> writes = {completed(false, 1, 8192, raw, 1e6)};
  rows.add_result(writes[0]);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows.rows()[1].buffers, L"# Write test");
  rows.add_best_block({}, writes);
  EXPECT_EQ(rows.rows()[5].buffers, L"n/a");
  EXPECT_EQ(rows.rows()[8].style, style_best);
}

TEST(raw_rows, page_fill) {
  // A block starting at row 10 on a 20-row page: rows up to index 29 must exist.
  EXPECT_EQ(page_fill_count(10, 16, 20), 14u);
  EXPECT_EQ(page_fill_count(10, 30, 20), 0u);
  EXPECT_EQ(page_fill_count(10, 40, 20), 0u);
  EXPECT_EQ(page_fill_count(0, 6, 0), 0u);

  raw_rows rows;
  size_t start = rows.add_best_block({}, {});
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(rows.fill_page(start, 10), 9u);
  EXPECT_EQ(rows.size(), 10u);
  EXPECT_EQ(rows.rows()[9].style, style_plain);
  EXPECT_TRUE(rows.rows()[9].buffers.empty());
}
