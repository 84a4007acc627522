#pragma once

#include <string>

#include "app/cli_options.h"
#include "app/cli_progress.h"
#include "support/api_error.h"

// Writes text as UTF-8, with the byte-order mark when asked.
bool write_text_file(const std::wstring& path, const std::string& text, bool bom, api_error_cb* errors);

// The report of a finished run: to the --report file (with the mark) or to standard output.
bool emit_report(const cli_options& options, const cli_progress& progress, api_error_cb* errors);
