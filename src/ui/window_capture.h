#pragma once

#include <windows.h>

#include "toolkit/bmp_file.h"

// A window's own image, drawn by the window and its children into memory bitmaps (WM_PRINT and
// WM_PRINTCLIENT, each window into one of its own, children in their z-order; a shown child's
// border and scroll bars come from its own window DC, as the system drew them), never read from
// the screen: windows that cover it do not show, and a hidden window draws as it would look.
// `whole_window` takes the frame and the caption too (drawn by the system where it prints them,
// otherwise in its own caption style); otherwise the client area alone. False when the window
// has no area or no bitmap could be made.
bool capture_window(HWND window, bool whole_window, captured_image& image);

// Paints the client area with every child in one copy, as a capture draws it. For a window that
// has just been shown: the screen may show the window between two paints of its controls, and
// the place of a control that has not painted yet would show whatever the system had there
// (black, under Wine).
void paint_client_at_once(HWND window);

// The same with the frame and the caption, for a window that has just been resized: its picture
// may be new and black (under Wine), and the system paints the frame in several strokes.
void paint_window_at_once(HWND window);
