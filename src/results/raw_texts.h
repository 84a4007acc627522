#pragma once

// Fixed texts of the raw-data list.
struct raw_column {
  const wchar_t* title;
  const wchar_t* sizing_text;  // null: the column takes the rest of the width
};
extern const raw_column raw_columns[3];

extern const wchar_t raw_read_heading[];
extern const wchar_t raw_write_heading[];
extern const wchar_t raw_units_heading[];
extern const wchar_t raw_best_read_heading[];
extern const wchar_t raw_best_write_heading[];
extern const wchar_t raw_no_result[];

extern const wchar_t status_running_reads[];
extern const wchar_t status_running_writes[];
