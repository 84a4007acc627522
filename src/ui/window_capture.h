#pragma once

#include <windows.h>

#include "ui/screenshot_image.h"

// A window's own image, drawn by the window and its children into memory bitmaps (WM_PRINT and
// WM_PRINTCLIENT, each window into one of its own, children in their z-order), never read from
// the screen: windows that cover it do not show, and a hidden window draws as it would look.
// `whole_window` takes the frame and the caption too (drawn by the system where it prints them,
// otherwise in its own caption style); otherwise the client area alone. False when the window
// has no area or no bitmap could be made.
bool capture_window(HWND window, bool whole_window, captured_image& image);
