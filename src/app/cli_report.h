#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "bench/test_def.h"
#include "bench/test_run.h"
#include "results/report_host.h"
#include "support/api_error.h"
#include "support/report_entry.h"

// Writes text as UTF-8, with the byte-order mark when asked.
bool write_text_file(const std::wstring& path, const std::string& text, bool bom, api_error_cb* errors);

// The report of a finished run with the storage facts of its location; its rows are the records
// (of a repeated run: the medians) in the order they ran.
std::string cli_report_text(const report_host& host, const SYSTEMTIME& recorded, const test_def& profile,
                            const std::vector<test_run>& reads, const std::vector<test_run>& writes,
                            const report_entries& facts);

// The bytes as they are, without the C runtime's line-end translation.
bool write_stdout(const std::string& text);

// One result of a run: to its file when one is named (the report with the byte-order mark), else
// to standard output. When the file cannot be written the text goes to standard output rather
// than being lost, a line on standard error says so, and the answer is false.
struct cli_output {
  const char* what;  // "report", "CSV", "JSON"
  const std::wstring& path;
  const std::string& text;
  bool bom;
};
bool emit_output(const cli_output& output);
