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

namespace {
// A JSON document begins with its object, after the byte-order mark and white space if any.
bool looks_like_json(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n", text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0);
  return first != std::string::npos && text[first] == '{';
}

// A report or a --json document, whichever the text is; false with the reason.
bool read_compared(const std::wstring& path, parsed_report& out, std::string& error) {
  std::string text;
  if (!read_report_file(path, text, error)) return false;
  if (looks_like_json(text)) {
    if (parse_results_json(text, out, error)) return true;
    error = "is not one of our JSON documents, " + error;
    return false;
  }
  if (parse_report(text, out, error)) return true;
  if (error.compare(0, 5, "line ") == 0) error = "is not one of our reports, " + error;
  return false;
}
}  // namespace

int run_compare(const cli_options& options) {
  parsed_report reports[2];
  for (int i = 0; i < 2; ++i) {
    const std::wstring& path = options.compare_paths[size_t(i)];
    std::string error;
    if (!read_compared(path, reports[i], error)) {
      std::fputs(("folvi-cli: --compare: \"" + to_utf8(path) + "\" " + error + "\n").c_str(), stderr);
      return exit_bad_arguments;
    }
  }
  return write_stdout(compare_reports(reports[0], reports[1])) ? exit_completed : exit_failed;
}
