// folvi-cli: the benchmark from the command line, for scripts and measurements.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/cli_checks.h"
#include "app/cli_compare.h"
#include "app/cli_guard.h"
#include "app/cli_options.h"
#include "app/cli_predict.h"
#include "app/cli_progress.h"
#include "app/cli_report.h"
#include "app/cli_scan.h"
#include "app/cli_smart.h"
#include "app/elevation.h"
#include "app/replayed_location.h"
#include "bench/test_runner.h"
#include "results/results_json.h"
#include "support/logger.h"
#include "support/optional_functions.h"
#include "support/text.h"

namespace {
// The failure lines of a log, or all of it when it has none.
void print_cause(const std::vector<std::string>& lines) {
  bool any = false;
  for (const std::string& line : lines)
    if (!line.empty() && line[0] == '0') any = true;
  for (const std::string& line : lines)
    if (!any || (!line.empty() && line[0] == '0')) std::fputs(("folvi-cli: " + line).c_str(), stderr);
}

void print_line(const std::string& line) { std::fputs(("folvi-cli: " + line + "\n").c_str(), stderr); }

// The scan log, then what lies under the location when one is given. A recording that cannot be
// read is a bad argument; one that cannot be written loses nothing of the log.
int scan_only(const cli_options& options, api_error_logger& errors) {
  std::string error;
  if (!check_output_files(options, error)) {
    print_line(error);
    return exit_bad_arguments;
  }
  load_optional_functions(&errors);
  scan_result scan;
  scan_recording recording;
  bool written = true;
  if (!options.replay_path.empty()) {
    if (!replay_scan(options.replay_path, scan, &errors, error, recording)) {
      if (!error.empty()) print_line(error);
      return error.empty() ? exit_failed : exit_bad_arguments;
    }
  } else if (!options.record_path.empty()) {
    if (!record_scan(options.record_path, scan, &errors, error) && error.empty()) return exit_failed;
    written = error.empty();
  } else if (!scan_storage(win32_device_api(), win32_vds_api(), scan, &errors)) {
    return exit_failed;
  }
  std::string text = scan.log_text;
  replayed_location recorded(recording);
  location_api& location = options.replay_path.empty() ? win32_location_api() : recorded;
  if (!options.profile.path.empty())
    text += "\n" + summary_text(refresh_summary(location, scan.model.get(), options.profile.path));
  const bool printed = write_stdout(text);
  if (!written) print_line(error);
  return printed && written ? exit_completed : exit_failed;
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

bool any_failed(const std::vector<combo_result>& combos) {
  for (const combo_result& c : combos)
    if (!c.run.ok) return true;
  return false;
}

const char* outcome_name(int code) {
  switch (code) {
    case exit_completed: return "completed";
    case exit_cancelled: return "cancelled";
    case exit_tests_failed: return "tests failed";
    default: return "failed";
  }
}

uint64_t counter_frequency() {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return uint64_t(f.QuadPart);
}

// Checks, scans, probes, runs, and writes what the run gave.
int run_benchmark(cli_options& options, capturing_logger* log, api_error_logger& errors) {
  std::string error, raw_note;
  if (!resolve_location(options.profile.path, error) || !check_raw_sizes(options, error, raw_note) ||
      !check_output_files(options, error)) {
    print_line(error);
    return exit_bad_arguments;
  }
  if (!raw_note.empty()) print_line("warning: " + raw_note);
  if (!prepare_process(errors)) {
    print_cause(log->lines());
    return exit_failed;
  }
  test_def& def = options.profile;
  // The report describes the device under the location: scan first, as the window does.
  scan_result scan;
  const location_summary summary = scan_storage(win32_device_api(), win32_vds_api(), scan, &errors)
                                       ? refresh_summary(win32_location_api(), scan.model.get(), def.path)
                                       : fallback_summary(L"");
  install_cli_cancel_handler();
  // The probe's own failures are the run's too: the test file creation reports them.
  const cache_guard guard = build_cache_guard(probe_unbuffered(def.path, nullptr), summary);
  log->log(3, "Unbuffered I/O at the location: %s\n", unbuffered_state_name(guard.unbuffered));
  std::vector<std::string> warnings;
  if (!unbuffered_warning(guard).empty()) warnings.push_back(unbuffered_warning(guard));
  for (const std::string& w : warnings) print_line("warning: " + w);

  cli_progress progress(stderr, guard, options.repeat, def.read_tests, def.write_tests,
                        {is_console(GetStdHandle(STD_ERROR_HANDLE)), def.duration, {}});
  const bool ok = execute_tests(def, progress, *log, nullptr, options.repeat);
  progress.finish();
  std::vector<combo_result> reads = summarize_repeats(progress.read_results, def.read_tests);
  std::vector<combo_result> writes = summarize_repeats(progress.write_results, def.write_tests);
  const size_t above_link = flag_cache_suspects(guard, reads) + flag_cache_suspects(guard, writes);
  if (!link_warning(guard, above_link).empty()) {
    warnings.push_back(link_warning(guard, above_link));
    print_line("warning: " + warnings.back());
  }
  if (options.repeat > 1)
    std::fprintf(stderr, "Medians of %u passes:\n%s", unsigned(options.repeat),
                 (median_lines(reads) + median_lines(writes)).c_str());
  std::fputs((best_lines("read", reads) + best_lines("write", writes)).c_str(), stderr);

  int code = cli_cancel_requested                      ? exit_cancelled
             : !ok                                     ? exit_failed
             : any_failed(reads) || any_failed(writes) ? exit_tests_failed
                                                       : exit_completed;
  if (code == exit_failed) print_cause(log->lines());
  SYSTEMTIME now;
  GetLocalTime(&now);
  const report_host host = read_report_host(&errors);
  bool written = true;
  // A run that failed on its own gets no report; what it measured still goes to the CSV and JSON.
  if (code != exit_failed) {
    const std::string report =
        cli_report_text(host, now, def, report_rows(reads), report_rows(writes), summary.storage_facts);
    written = emit_output({"report", options.report_path, report, true});
  }
  if (!options.csv_path.empty()) written &= emit_output({"CSV", options.csv_path, csv_text(reads, writes), false});
  if (!options.json_path.empty()) {
    const std::string json = results_json({host, now, def, summary.storage_facts, guard, options.repeat,
                                           outcome_name(code), counter_frequency(), reads, writes, warnings});
    written &= emit_output({"JSON", options.json_path, json, false});
  }
  return written ? code : exit_failed;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args(argv + 1, argv + argc);
  if (is_smart_command(args)) return run_smart_command(args);
  cli_options options;
  std::string error;
  if (!parse_cli_options(args, options, error)) {
    print_line(error);
    return exit_bad_arguments;
  }
  if (options.help) {
    std::fputs(cli_usage, stdout);
    return exit_completed;
  }
  if (options.compare) return run_compare(options);

  capturing_logger* log = new capturing_logger;
  log->set_keep_prefix(true);
  int code = exit_failed;
  {
    api_error_logger errors(log);
    if (options.scan) {
      code = scan_only(options, errors);
      if (code == exit_failed) print_cause(log->lines());
    } else if (options.predict) {
      code = run_predict(options, errors);
    } else {
      code = run_benchmark(options, log, errors);
    }
  }
  log->release();
  return code;
}
