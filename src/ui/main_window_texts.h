#pragma once

// The main window's own texts, exactly as the user sees them.

extern const wchar_t main_window_title[];

// Status line (control 1058). The phase statuses of a run are status_running_reads and
// status_running_writes of the results.
extern const wchar_t status_none[];  // before the scan has ended
extern const wchar_t status_ready[];
extern const wchar_t status_starting[];
extern const wchar_t status_preparing[];
extern const wchar_t status_progress_format[];  // appended to status_preparing: done x 100 / total
extern const wchar_t status_completed[];
extern const wchar_t status_cancelled[];
extern const wchar_t status_failed[];

// Start button (control 1002).
extern const wchar_t start_label_start[];
extern const wchar_t start_label_cancel[];
extern const wchar_t start_label_cancelling[];
extern const wchar_t start_label_ok[];

// Switch link (control 3).
extern const wchar_t switch_to_graphs[];  // while the list is shown
extern const wchar_t switch_to_list[];    // while the graphs are shown

// Preset drop-down (control 1059) and the configuration text (control 1057).
extern const wchar_t* const preset_item_labels[];  // by preset, padded for the estimate column
extern const wchar_t preset_estimate_seconds[];
extern const wchar_t preset_estimate_minutes[];
extern const wchar_t preset_customize_item[];
extern const wchar_t config_custom_prefix[];
extern const wchar_t config_separator[];
extern const wchar_t config_sequential[];
extern const wchar_t config_random_access[];

// Web pages of the Help menu, on the project's web server.
extern const wchar_t homepage_path[];
extern const wchar_t methodology_path[];

extern const wchar_t about_format[];  // the program version in its short form
// Around the location box text when Start finds no such folder.
extern const wchar_t location_missing_before[];
extern const wchar_t location_missing_after[];
extern const wchar_t location_none_text[];  // no location at all
