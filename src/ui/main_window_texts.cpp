#include "ui/main_window_texts.h"

#include "bench/test_presets.h"

const wchar_t main_window_title[] = L"Cold-cache Sequential I/O Benchmark";

const wchar_t status_none[] = L"\u2013";
const wchar_t status_ready[] = L"Ready to run";
const wchar_t status_starting[] = L"Starting up...";
const wchar_t status_preparing[] = L"Preparing test file...";
const wchar_t status_progress_format[] = L"  %.1f%%";
const wchar_t status_completed[] = L"Completed";
const wchar_t status_cancelled[] = L"Cancelled";
const wchar_t status_failed[] = L"Failed, see log for details";

const wchar_t start_label_start[] = L"Start";
const wchar_t start_label_cancel[] = L"Cancel";
const wchar_t start_label_cancelling[] = L"Cancelling...";
const wchar_t start_label_ok[] = L"OK";

const wchar_t switch_to_graphs[] = L"Show graphs";
const wchar_t switch_to_list[] = L"Show raw data";

const wchar_t* const preset_item_labels[] = {L"Quick     ", L"Standard", L"Extended"};
static_assert(sizeof preset_item_labels / sizeof *preset_item_labels == preset_count, "one label per preset");
const wchar_t preset_estimate_seconds[] = L"        ~ %u sec";
const wchar_t preset_estimate_minutes[] = L"        ~ %u min";
const wchar_t preset_customize_item[] = L"Customize...";
const wchar_t config_custom_prefix[] = L"Custom";
const wchar_t config_separator[] = L"  \u00B7  ";
const wchar_t config_sequential[] = L"Sequential";
const wchar_t config_random_access[] = L"Random access";

const wchar_t homepage_path[] = L"/app/homepage";
const wchar_t methodology_path[] = L"/app/methodology";

const wchar_t about_format[] = L"FOLVI Vezad, version %ls\n\nCold-cache Sequential I/O Benchmark";
const wchar_t location_missing_before[] = L"The test location \"";
const wchar_t location_missing_after[] = L"\" cannot be found.\n\nPick a drive or a folder that exists.";
const wchar_t location_none_text[] = L"There is no test location yet.\n\nAdd one with \"Add custom location...\".";
