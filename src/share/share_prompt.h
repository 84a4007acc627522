#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "share/share_package.h"

// The one registry value of the program: "AskForResults" (REG_DWORD) under HKEY_CURRENT_USER,
// in the 64-bit view under WOW64. 0 means never ask; absent, another value, size or type: ask.
constexpr wchar_t share_settings_key[] = L"Software\\FolviBench";
constexpr wchar_t ask_for_results_value[] = L"AskForResults";

constexpr DWORD share_prompt_delay_ms = 1000;

// Whether the user still wants to be asked.
bool share_prompt_allowed(const wchar_t* key = share_settings_key);

// What the prompt's dialog result means. -1 is a prompt that could not be shown: the user said
// nothing, so nothing is remembered.
enum class share_answer { share, decline, not_shown };
share_answer share_answer_of(INT_PTR dialog_result);

// A decline stores "AskForResults" = 0 for good (a failed write is ignored: the prompt comes back
// next time). True when the value was written.
bool remember_share_answer(share_answer answer, const wchar_t* key = share_settings_key);

// A report share carries only the two texts.
share_package report_share_package(const std::string& joined_reports, const std::string& stack_scan_text);

// The prompt's body text.
extern const wchar_t share_prompt_body[];
