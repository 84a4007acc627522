#pragma once

#include <string>

#include "app/cli_options.h"

// What can be known before a run starts, so that nothing is created and no measurement is lost
// for a mistyped name. Each error is one line naming the argument.

// Makes the location a full path; false when it is not a folder that exists.
bool resolve_location(std::wstring& location, std::string& error);

// Every output file named can be written: an existing file is opened for writing and left as it
// is, a new one is created and removed again. No two of them may be the same file.
bool check_output_files(const cli_options& options, std::string& error);

// Every size that a raw (unbuffered) test uses is a multiple of the location's sector size, as
// Windows requires of unbuffered requests: sizes given with --sizes are refused, a preset's are
// only named in `note` (those tests fail without running, the others run).
bool check_raw_sizes(const cli_options& options, std::string& error, std::string& note);
