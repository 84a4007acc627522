#include "app/cli_report.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "bench/io_file.h"
#include "results/report_build.h"
#include "results/report_host.h"

bool write_text_file(const std::wstring& path, const std::string& text, bool bom, api_error_cb* errors) {
  io_file f;
  if (!f.open(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, errors)) return false;
  const std::string bytes = (bom ? "\xEF\xBB\xBF" : "") + text;
  return f.write(bytes.data(), DWORD(bytes.size()));
}

std::string cli_report_text(const cli_options& options, const cli_progress& progress, const report_entries& facts,
                            api_error_cb* errors) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const report_run run{options.profile, progress.read_results, progress.write_results, facts};
  std::string text;
  build_report(read_report_host(errors), now, run, text);
  return text;
}

bool emit_report(const cli_options& options, const std::string& text, api_error_cb* errors) {
  if (!options.report_path.empty()) return write_text_file(options.report_path, text, true, errors);
  return write_stdout(text);
}

bool write_stdout(const std::string& text) {
  // The text already ends its lines with CR LF; a text-mode stream would double the CR.
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
  const bool ok = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  return std::fflush(stdout) == 0 && ok;
}
