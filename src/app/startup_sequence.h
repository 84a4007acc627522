#pragma once

#include <string>
#include <vector>

#include "app/startup_api.h"

// How start-up ended: the process exit code. Scripts rely on these numbers.
enum startup_exit : int {
  exit_bad_argument = 10,       // an argument the program does not know
  exit_no_version = 15,         // the program's own file version cannot be read
  exit_no_elevation_type = 20,  // the token's elevation type cannot be queried
  exit_still_limited = 30,      // the relaunched copy did not get full rights
  exit_not_relaunched = 40,     // relaunch as administrator declined or failed
  exit_relaunched = 60,    // the elevated copy was started; this copy ends at once, as 60 always meant after a relaunch
  exit_com_failed = 50,    // COM or its security could not be initialised
  exit_no_privilege = 60,  // a privilege the benchmark needs cannot be enabled
  exit_window_closed = 70,  // normal end: the main window was closed
};

extern const char unrecognized_argument_format[];  // the argument, UTF-8
extern const char restarting_text[];
extern const char press_enter_text[];
extern const wchar_t restart_failed_text[];
extern const wchar_t console_argument[];
extern const wchar_t elevating_argument[];
extern const wchar_t replay_argument[];

// The whole start-up: arguments from the second on, then the shutdown steps; the exit code.
int run_startup(startup_api& api, const std::vector<std::wstring>& args);

// Starts the program again elevated, with the recording it replays; true when the elevated copy
// was started. Declining the elevation prompt (1223) is said nothing about; any other failure
// gets a message box.
bool restart_elevated(startup_api& api, const std::wstring& replay = std::wstring());
