#pragma once

#include "app/app_context.h"
#include "app/console_api.h"

constexpr DWORD console_quick_edit = 0x40;  // ENABLE_QUICK_EDIT_MODE
constexpr DWORD console_extended = 0x80;    // ENABLE_EXTENDED_FLAGS

// Opens the diagnostic console once per process: the main logger and the error logger then write
// to it. When no console can be allocated nothing changes and the result is false.
bool attach_console(app_context& context, console_api& api = win32_console_api());

// Before the process ends with a console: "Press Enter to exit..." and one line of input.
void wait_for_enter(app_context& context, console_api& api = win32_console_api());
