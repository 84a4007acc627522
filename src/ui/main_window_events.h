#pragma once

// The main window's timers and private messages.

// Timers of the main window.
struct window_timer {
  unsigned id;
  unsigned period_ms;
};
constexpr window_timer scan_poll_timer{1, 200};
constexpr window_timer run_poll_timer{2, 250};
constexpr window_timer focus_start_timer{3, 250};        // one-shot
constexpr window_timer screenshot_timer{4, 500};         // one-shot: the popup menu is gone by then
constexpr window_timer screengrab_return_timer{5, 200};  // one-shot: the button comes back after a capture

// Private messages (WM_USER is 0x400).
constexpr unsigned msg_pick_folder = 0x400 + 1;  // posted by the location box handler
constexpr unsigned msg_units_popup = 0x400 + 2;  // posted by a graph when its units area is clicked
constexpr unsigned msg_run_event = 0x400 + 3;    // posted by the run's thread (run_poster)
