#pragma once

#include <string>

#include "app/cli_options.h"
#include "app/cli_progress.h"
#include "support/api_error.h"
#include "support/report_entry.h"

// Writes text as UTF-8, with the byte-order mark when asked.
bool write_text_file(const std::wstring& path, const std::string& text, bool bom, api_error_cb* errors);

// The report of a finished run, recorded now, with the storage facts of its location.
std::string cli_report_text(const cli_options& options, const cli_progress& progress, const report_entries& facts,
                            api_error_cb* errors);

// The bytes as they are, without the C runtime's line-end translation.
bool write_stdout(const std::string& text);

// To the --report file (with the mark) or to standard output (without it).
bool emit_report(const cli_options& options, const std::string& text, api_error_cb* errors);
