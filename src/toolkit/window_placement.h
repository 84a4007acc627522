#pragma once

#include <windows.h>

// Where a window of `size` stands centred on `around`, moved as little as it takes to lie within
// `work`; when it is larger than `work`, its top-left corner is the work area's.
POINT centred_position(const RECT& around, SIZE size, const RECT& work);

// The work area of the monitor a window is on (or nearest to); without a window, of the monitor
// under the mouse.
RECT work_area_near(HWND window);

// Centres `window` on its owner, within the work area of the owner's monitor; on that work area
// when the owner is hidden or minimised, or there is none.
void centre_on_owner(HWND window, HWND owner);
