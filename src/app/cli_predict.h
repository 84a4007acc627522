#pragma once

#include "app/cli_options.h"
#include "support/api_error.h"

// --predict [LOCATION]: the device under the location (this machine's scan, or with --replay the
// recorded machine's), asked of the share server for reads and then writes; one line each on
// standard output. Without a location the question names no device. No recommendation, no
// answer or an answer that is not one: a line on standard error and exit_failed.
int run_predict(const cli_options& options, api_error_logger& errors);
