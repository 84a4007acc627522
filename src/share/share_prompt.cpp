#include "share/share_prompt.h"

#include "support/registry.h"

const wchar_t share_prompt_body[] =
    L"We are trying to understand if it's possible to accurately predict\n"
    L"an optimal I/O strategy for a device based solely on its type and\n"
    L"a bit of host information.\n"
    L"\n"
    L"So far it looks like it's doable, but we need more data to test the\n"
    L"model. Hence this request.\n"
    L"\n"
    L"No personal data is included in the report, just a short summary\n"
    L"of the setup and raw test measurements.";

bool share_prompt_allowed(const wchar_t* key) {
  DWORD value = 1;
  return !reg_read_dword(key, ask_for_results_value, value, wow64_view(), nullptr) || value != 0;
}

share_answer share_answer_of(INT_PTR dialog_result) {
  if (dialog_result == 1) return share_answer::share;
  if (dialog_result == -1) return share_answer::not_shown;
  return share_answer::decline;
}

bool remember_share_answer(share_answer answer, const wchar_t* key) {
  if (answer != share_answer::decline) return false;
  const DWORD never = 0;
  return reg_write_value(key, ask_for_results_value, REG_DWORD, &never, sizeof never, wow64_view(), nullptr);
}

share_package report_share_package(const std::string& joined_reports, const std::string& stack_scan_text) {
  share_package package;
  package.report_text = joined_reports;
  package.stack_scan_text = stack_scan_text;
  return package;
}
