// folvi-cli: the benchmark from the command line, for scripts and measurements.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/cli_options.h"
#include "app/cli_progress.h"
#include "app/cli_report.h"
#include "app/cli_scan.h"
#include "app/cli_smart.h"
#include "app/elevation.h"
#include "bench/test_runner.h"
#include "support/logger.h"
#include "support/optional_functions.h"
#include "support/text.h"

namespace {
enum exit_code { exit_completed = 0, exit_cancelled = 1, exit_bad_arguments = 2, exit_failed = 3 };

// The failure lines of a log, or all of it when it has none.
void print_cause(const std::vector<std::string>& lines) {
  bool any = false;
  for (const std::string& line : lines)
    if (!line.empty() && line[0] == '0') any = true;
  for (const std::string& line : lines)
    if (!any || (!line.empty() && line[0] == '0')) std::fputs(("folvi-cli: " + line).c_str(), stderr);
}

// The scan log, then what lies under the location when one is given.
int scan_only(const cli_options& options, api_error_logger& errors) {
  load_optional_functions(&errors);
  scan_result scan;
  if (!scan_storage(win32_device_api(), scan, &errors)) return exit_failed;
  std::string text = scan.log_text;
  if (!options.profile.path.empty())
    text += "\n" + summary_text(refresh_summary(win32_location_api(), scan.model.get(), options.profile.path));
  return write_stdout(text) ? exit_completed : exit_failed;
}

// The report describes the device under the location: scan first, as the window does.
report_entries location_facts(const std::wstring& location, api_error_cb* errors) {
  scan_result scan;
  if (!scan_storage(win32_device_api(), scan, errors)) return fallback_summary(L"").storage_facts;
  return refresh_summary(win32_location_api(), scan.model.get(), location).storage_facts;
}

bool prepare_process(api_error_logger& errors) {
  int state = elevation_unknown;
  if (!query_elevation_state(state, &errors)) return false;
  if (state != elevation_full && state != elevation_default) {
    std::fputs("folvi-cli: needs an elevated administrator token (to preallocate the test file and purge the cache)\n",
               stderr);
    return false;
  }
  if (!enable_benchmark_privileges(&errors)) return false;
  load_optional_functions(&errors);
  return true;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args(argv + 1, argv + argc);
  if (is_smart_command(args)) return run_smart_command(args);
  cli_options options;
  std::string error;
  if (!parse_cli_options(args, options, error)) {
    std::fprintf(stderr, "folvi-cli: %s\n", error.c_str());
    return exit_bad_arguments;
  }
  if (options.help) {
    std::fputs(cli_usage, stdout);
    return exit_completed;
  }

  capturing_logger* log = new capturing_logger;
  log->set_keep_prefix(true);
  int code = exit_failed;
  {
    api_error_logger errors(log);
    if (options.scan) {
      code = scan_only(options, errors);
    } else if (prepare_process(errors)) {
      const report_entries storage_facts = location_facts(options.profile.path, &errors);
      install_cli_cancel_handler();
      cli_progress progress(stderr);
      const bool ok = execute_tests(options.profile, progress, *log);
      const bool cancelled = cli_cancel_requested != 0;
      code = cancelled ? exit_cancelled : ok ? exit_completed : exit_failed;
      if (!options.csv_path.empty() &&
          !write_text_file(options.csv_path, csv_text(progress.read_results, progress.write_results), false, &errors))
        code = exit_failed;
      if (code != exit_failed) {
        const std::string report = cli_report_text(options, progress, storage_facts, &errors);
        if (!emit_report(options, report, &errors)) code = exit_failed;
      }
    }
    if (code == exit_failed) print_cause(log->lines());
  }
  log->release();
  return code;
}
