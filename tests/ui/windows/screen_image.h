#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "toolkit/bmp_file.h"

// What the display shows in the screen rectangle `r`, as the user sees it: from the X server
// (imagemagick's import of the root window) when the program runs under Wine, where a program
// cannot read the screen's other windows, else from the screen's own DC. False with `error` set
// when there is no such picture.
bool screen_image(const RECT& r, captured_image& image, std::string& error);

// What the display shows of the window (painted afresh when asked, else as it stands with the
// paints that are due), once its painting has reached the screen: two looks in a row that agree.
bool settled_screen_image(HWND window, captured_image& image, std::string& error, bool afresh = true);

// A window as the screen shows it, repainted only when asked (else what it has not painted stays
// unseen), read in its client coordinates or its frame's; a look that fails fails the test.
struct seen_control {
  captured_image image;
  POINT at{};  // the client area's top left corner in the image
  explicit seen_control(HWND window, bool afresh = false);
  COLORREF frame_pixel(int x, int y) const;
  COLORREF pixel(int x, int y) const { return frame_pixel(x + at.x, y + at.y); }
  // How many pixels of the client rectangle are near the colour.
  int count_near(const RECT& r, COLORREF colour, int tolerance) const;
};
// Looks at the window until a look satisfies `ready`; false after 20 looks (each settled).
bool seen_until(HWND window, const std::function<bool(const seen_control&)>& ready);
// Whether two colours agree within `tolerance` on every channel.
bool near_colour(COLORREF a, COLORREF b, int tolerance = 3);

// Writes the image as a BMP file named `name` in the temporary folder, for a look at a failure;
// returns its path.
std::wstring save_image(const captured_image& image, const std::wstring& name);

// Whether the image holds a square of `size` x `size` pure black pixels; `where` is the first.
bool find_black_square(const captured_image& image, int size, RECT& where);

// Looks at the screen where `window` stands (wherever it moves), as often as it can, until
// `enough` (asked before each look) holds or `limit_ms` have passed. A look counts as black when
// it shows a black square of 8 x 8 pixels in the window's rectangle; the last look is kept.
struct window_looks {
  bool appeared = false;
  int looks = 0;
  int black_looks = 0;
  int first_black_ms = -1;  // after the watch began
  RECT first_black{};       // in window coordinates
  captured_image first_black_look;
  captured_image last_look;
};
window_looks watch_window(HWND window, const std::function<bool()>& enough, unsigned limit_ms);
// The same for `duration_ms` from the moment a visible window of this process with this title exists.
window_looks watch_window_opening(const std::string& title, unsigned duration_ms);
