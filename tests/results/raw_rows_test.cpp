#include "results/raw_rows.h"

#include <gtest/gtest.h>

#include "bench/test_def.h"
#include "golden.h"
#include "run_records.h"
#include "support/text.h"

namespace {
constexpr uint32_t raw = flag_no_buffering;
constexpr uint32_t raw_seq = flag_no_buffering | flag_sequential_scan;

// One line a row: its style's parts (bold, accent, grey, first column only), then its three cells.
std::string dump(const std::vector<raw_row>& rows) {
  std::string out;
  for (const raw_row& r : rows)
    out += std::string(r.style & row_bold ? "B" : "-") + (r.style & row_accent ? "A" : "-") +
           (r.style & row_grey ? "G" : "-") + (r.style & row_first_column_only ? "1" : "-") + " |" +
           to_utf8(r.buffers) + "|" + to_utf8(r.mode) + "|" + to_utf8(r.rate) + "|\n";
  return out;
}
}  // namespace

// Rows as they come: a heading per direction, a new best (equal is not new; a failed record above the
// best is one too) and failures told apart; then the best block (the failure text kept where every
// test failed, "n/a" for a direction without records) and the page filled with empty rows.
TEST(raw_rows, results_headings_best_rows_and_the_page_fill) {
  const std::vector<test_run> reads = {completed(true, 1, 8192, raw, 2e6),
                                       completed(true, 4, 8192, raw, 1e6),
                                       completed(true, 8, 8192, raw, 2e6),
                                       completed(true, 16, 8192, raw, 3e6),
                                       failed(true, 1, 8192, raw, "CheckRequestResult", 38, 4e6),
                                       failed(true, 8, 8192, raw, "ReadFile", 5),
                                       completed(true, 4, 65536, raw_seq, 129400000),
                                       completed(false, 32, 4194304, 0, 0)};
  const std::vector<test_run> writes = {failed(false, 1, 1024, raw, "WriteFile", 87),
                                        failed(false, 4, 1024, raw, "WriteFile", 5)};
  raw_rows rows;
  for (const test_run& r : reads) rows.add_result(r);
  for (const test_run& r : writes) rows.add_result(r);
  const size_t before = rows.size();
  EXPECT_EQ(rows.add_best_block(reads, writes), before);
  EXPECT_EQ(rows.best_read_so_far(), 129400000);
  EXPECT_EQ(rows.best_write_so_far(), 0);
  std::string out = dump(rows.rows());

  raw_rows only_writes;
  only_writes.add_result(completed(false, 32, 4194304, 0, 0));
  only_writes.add_result(completed(false, 1, 8192, raw, 5e6));
  only_writes.add_best_block({}, {completed(false, 1, 8192, raw, 5e6)});
  out += "--- writes only\n" + dump(only_writes.rows());

  raw_rows empty;
  EXPECT_EQ(empty.add_best_block({}, {}), 0u);
  EXPECT_EQ(empty.fill_page(0, 10), 9u);
  out += "--- nothing, filled to a page of 10\n" + dump(empty.rows());
  expect_golden(out, "results/raw_rows.txt");
}

TEST(raw_rows, page_fill) {
  // A block starting at row 10 on a 20-row page: rows up to index 29 must exist.
  EXPECT_EQ(page_fill_count(10, 16, 20), 14u);
  EXPECT_EQ(page_fill_count(10, 30, 20), 0u);
  EXPECT_EQ(page_fill_count(10, 40, 20), 0u);
  EXPECT_EQ(page_fill_count(0, 6, 0), 0u);
}
