#include "results/report_action_texts.h"

const wchar_t report_stem[] = L"folvi-report";
const wchar_t report_name_format[] = L"FOLVI Report (%04u-%02u-%02u %02u-%02u)";
const wchar_t report_name_extension[] = L".folvi.txt";
const wchar_t drive_part_prefix[] = L"Drive ";
const wchar_t save_report_title[] = L"Save report as...";
const wchar_t save_report_filter[] = L"FOLVI Report (*.folvi.txt)|*.folvi.txt|All files (*.*)|*.*";
const wchar_t replace_question_suffix[] = L" already exists.\nDo you want to replace it?";

const wchar_t temp_file_failed_text[] = L"Failed to save report in a temporary file";
const wchar_t notepad_failed_text[] = L"Failed to open report in Notepad";
const wchar_t save_failed_text[] = L"An attempt to save report in specified file failed";
const wchar_t capture_failed_text[] = L"Screeshot capture failed";
const wchar_t share_screenshot_question[] =
    L"This will upload a screenshot of the app's window to\nthe FOLVI server and assign it a unique URL that you\n"
    L"can then share with the others.\n\nProceed?";
