#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bench/test_run.h"

// Style bits that the list's custom drawing reads.
enum : uint8_t {
  row_bold = 1,
  row_accent = 2,
  row_first_column_only = 4,  // the bits apply to the first column, the others are plain
  row_grey = 8,
};
constexpr uint8_t style_plain = 0;
constexpr uint8_t style_heading = row_bold | row_accent | row_first_column_only;
constexpr uint8_t style_new_best = row_bold | row_accent;
constexpr uint8_t style_best_heading = row_bold | row_accent;
constexpr uint8_t style_best = row_accent;
constexpr uint8_t style_failed = row_bold | row_grey;

struct raw_row {
  std::wstring buffers, mode, rate;  // the three columns
  uint8_t style = style_plain;
};

// The row of one record, failed or not, before any new-best highlight.
raw_row result_row(const test_run& run);

// Empty rows to append after the best-rate block so that it can stand at the top of a page.
size_t page_fill_count(size_t block_start, size_t row_count, size_t rows_per_page);

// The rows of the raw-data list of one run, in list order.
class raw_rows {
 public:
  void clear();
  // Adds the direction's heading before its first record.
  void add_result(const test_run& run);
  // The block naming each direction's best row; returns the index of its first (empty) row.
  size_t add_best_block(const std::vector<test_run>& reads, const std::vector<test_run>& writes);
  // Appends the page-fill rows; returns the row to scroll into view.
  size_t fill_page(size_t block_start, size_t rows_per_page);

  const std::vector<raw_row>& rows() const { return rows_; }
  size_t size() const { return rows_.size(); }
  double best_read_so_far() const { return best_read_so_far_; }
  double best_write_so_far() const { return best_write_so_far_; }

 private:
  void add_best_of(const wchar_t* heading, const std::vector<test_run>& runs);

  std::vector<raw_row> rows_;
  bool read_heading_ = false;
  bool write_heading_ = false;
  double best_read_so_far_ = 0.0;
  double best_write_so_far_ = 0.0;
};
