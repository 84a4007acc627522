#include "app/cli_report.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "bench/io_file.h"
#include "results/report_build.h"
#include "support/text.h"

bool write_text_file(const std::wstring& path, const std::string& text, bool bom, api_error_cb* errors) {
  io_file f;
  if (!f.open(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, errors)) return false;
  const std::string bytes = (bom ? "\xEF\xBB\xBF" : "") + text;
  return f.write(bytes.data(), DWORD(bytes.size()));
}

std::string cli_report_text(const report_host& host, const SYSTEMTIME& recorded, const test_def& profile,
                            const std::vector<test_run>& reads, const std::vector<test_run>& writes,
                            const report_entries& facts) {
  std::string text;
  build_report(host, recorded, {profile, reads, writes, facts}, text);
  return text;
}

bool write_stdout(const std::string& text) {
  // The text already ends its lines with CR LF; a text-mode stream would double the CR.
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
  const bool ok = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  return std::fflush(stdout) == 0 && ok;
}

bool emit_output(const cli_output& output) {
  if (output.path.empty()) return write_stdout(output.text);
  api_error_logger errors;
  if (write_text_file(output.path, output.text, output.bom, &errors)) return true;
  const api_error_info e = errors.last_error();
  std::fputs(("folvi-cli: the " + std::string(output.what) + " could not be written to \"" + to_utf8(output.path) +
              "\" (" + e.api + "() " + failure_text(e.code) + "); it follows on standard output\n")
                 .c_str(),
             stderr);
  write_stdout(output.text);
  return false;
}
