#include "app/cli_report.h"

#include <cstdio>

#include "bench/io_file.h"

bool write_text_file(const std::wstring& path, const std::string& text, bool bom, api_error_cb* errors) {
  io_file f;
  if (!f.open(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, errors)) return false;
  const std::string bytes = (bom ? "\xEF\xBB\xBF" : "") + text;
  return f.write(bytes.data(), DWORD(bytes.size()));
}

bool emit_report(const cli_options& options, const cli_progress& progress, api_error_cb* errors) {
  (void)progress;
  const std::string text = "";
  if (!options.report_path.empty()) return write_text_file(options.report_path, text, true, errors);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return true;
}
