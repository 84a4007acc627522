#pragma once

// Texts of viewing, saving and sharing a report.
extern const wchar_t report_stem[];         // of the temporary file Notepad shows
extern const wchar_t report_name_format[];  // year, month, day, hour, minute
extern const wchar_t report_name_extension[];
extern const wchar_t drive_part_prefix[];
extern const wchar_t save_report_title[];
extern const wchar_t save_report_filter[];
extern const wchar_t replace_question_suffix[];  // after the file's path

extern const wchar_t temp_file_failed_text[];
extern const wchar_t notepad_failed_text[];
extern const wchar_t save_failed_text[];
extern const wchar_t capture_failed_text[];
extern const wchar_t share_screenshot_question[];  // string resource 114
