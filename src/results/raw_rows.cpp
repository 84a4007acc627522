#include "results/raw_rows.h"

#include "results/evaluation.h"
#include "results/rate_text.h"
#include "results/raw_texts.h"
#include "support/format_string.h"
#include "support/text.h"

namespace {
raw_row text_row(const wchar_t* first, uint8_t style, const wchar_t* third = L"") { return {first, L"", third, style}; }
}  // namespace

raw_row result_row(const test_run& run) {
  raw_row row;
  row.buffers = format_string(L" %2u x %9u", unsigned(run.buffer_count), unsigned(run.buffer_size));
  row.mode = mode_label_w(run.open_flags);
  if (run.ok) {
    row.rate =
        format_string(L"%9.1lf MBps", binary_mbps(run.rate)) + format_string(L"   %9.1lf MBps", decimal_mbps(run.rate));
  } else {
    // Concatenated: a call name never goes through the bounded formatter.
    row.rate = from_utf8(run.error.api) + format_string(L"() failed with %lu", (unsigned long)run.error.code);
    row.style = style_failed;
  }
  return row;
}

size_t page_fill_count(size_t block_start, size_t row_count, size_t rows_per_page) {
  // The last row index is to reach block_start + rows_per_page - 1.
  const size_t wanted = block_start + rows_per_page;
  return wanted > row_count ? wanted - row_count : 0;
}

void raw_rows::clear() {
  rows_.clear();
  read_heading_ = write_heading_ = false;
  best_read_so_far_ = best_write_so_far_ = 0.0;
}

void raw_rows::add_result(const test_run& run) {
  if (run.read && !read_heading_) {
    read_heading_ = true;
    rows_.push_back(text_row(raw_read_heading, style_heading, raw_units_heading));
  } else if (!run.read && !write_heading_) {
    write_heading_ = true;
    rows_.push_back(text_row(L"", style_plain));
    rows_.push_back(text_row(raw_write_heading, style_heading, raw_units_heading));
  }
  raw_row row = result_row(run);
  double& best = run.read ? best_read_so_far_ : best_write_so_far_;
  // Failed records included: the highlight follows the rate alone.
  if (run.rate > best) {
    best = run.rate;
    row.style = style_new_best;
  }
  rows_.push_back(std::move(row));
}

void raw_rows::add_best_of(const wchar_t* heading, const std::vector<test_run>& runs) {
  rows_.push_back(text_row(L"", style_plain));
  rows_.push_back(text_row(heading, style_best_heading));
  int best = highest_rate_index(runs);
  if (best < 0) {
    rows_.push_back(text_row(raw_no_result, style_plain));
    return;
  }
  raw_row row = result_row(runs[size_t(best)]);
  row.style = style_best;
  rows_.push_back(std::move(row));
}

size_t raw_rows::add_best_block(const std::vector<test_run>& reads, const std::vector<test_run>& writes) {
  const size_t start = rows_.size();
  add_best_of(raw_best_read_heading, reads);
  add_best_of(raw_best_write_heading, writes);
  return start;
}

size_t raw_rows::fill_page(size_t block_start, size_t rows_per_page) {
  rows_.resize(rows_.size() + page_fill_count(block_start, rows_.size(), rows_per_page));
  return rows_per_page ? block_start + rows_per_page - 1 : block_start;
}
