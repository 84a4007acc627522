#pragma once

#include <string>

#include "support/report_entry.h"

// One line: the key padded to 30 characters (never cut), two spaces, the value, CR LF.
void render_entry(const report_entry& entry, std::string& out);
// Clears the text and renders every entry.
void render_report(const report_entries& entries, std::string& out);
