#include "app/cli_compare.h"

#include <cstdio>

#include "app/cli_report.h"
#include "bench/io_file.h"
#include "results/report_compare.h"
#include "results/report_parse.h"
#include "support/text.h"

namespace {
// A report of 100,000 rows takes about 10 MB; anything far larger is not one.
constexpr uint64_t largest_report = 64ull << 20;
}  // namespace

bool read_report_file(const std::wstring& path, std::string& text, std::string& error) {
  api_error_logger errors;
  io_file f;
  uint64_t size = 0;
  if (f.open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, &errors) && f.get_size(size)) {
    if (size > largest_report) {
      error = "is too large to be a report";
      return false;
    }
    text.assign(size_t(size), '\0');
    if (size == 0 || f.read(&text[0], DWORD(size))) return true;
    if (!f.last_api) {
      error = "cannot be read: it shrank while it was read";
      return false;
    }
  }
  const api_error_info e = errors.last_error();
  error = "cannot be read: " + e.api + "() " + failure_text(e.code);
  return false;
}

int run_compare(const cli_options& options) {
  parsed_report reports[2];
  for (int i = 0; i < 2; ++i) {
    const std::wstring& path = options.compare_paths[size_t(i)];
    std::string text, error;
    if (!read_report_file(path, text, error) || !parse_report(text, reports[i], error)) {
      std::fputs(("folvi-cli: --compare: \"" + to_utf8(path) + "\" " +
                  (error.compare(0, 5, "line ") == 0 ? "is not one of our reports, " + error : error) + "\n")
                     .c_str(),
                 stderr);
      return exit_bad_arguments;
    }
  }
  return write_stdout(compare_reports(reports[0], reports[1])) ? exit_completed : exit_failed;
}
