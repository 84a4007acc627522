#pragma once

#include <windows.h>

#include <string>

// What the upload dialog shows and decides, apart from the window.

constexpr UINT upload_timer_id = 1;
constexpr UINT upload_timer_ms = 150;
constexpr DWORD upload_minimum_showing_ms = 2000;  // even a fast upload stays up this long
constexpr DWORD upload_done_pause_ms = 1000;       // "-- done --" stays readable

constexpr wchar_t upload_done_text[] = L"-- done --";
constexpr int upload_spinner_frames = 8;

// The spinner frame to show at this tick; one process-wide count, so a later dialog goes on
// where the last one stopped.
const wchar_t* next_spinner_frame();
const wchar_t* spinner_frame(unsigned count);

// "FOLVI Screenshot" or "FOLVI Test Report".
const wchar_t* upload_caption(bool screenshot);
// The status line replacing the template's, or null to keep "Uploading, please wait...".
const wchar_t* upload_status_text(bool screenshot);

// True once the minimum showing time has passed since `start_tick` (tick count wrap-safe).
bool upload_shown_long_enough(DWORD start_tick, DWORD now_tick);

// How the dialog ends: its result, the error message to show (empty: none) and, for a
// screenshot share, the link to open (empty: none).
struct upload_outcome {
  int result = 2;
  std::wstring message;
  std::wstring link;
};

// The package could not be built.
upload_outcome upload_preparation_failed();
// The worker has ended (or never started: worker_ok false) and left `reply`.
upload_outcome upload_finished(bool screenshot, bool worker_ok, const std::string& reply);
