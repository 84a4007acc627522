#pragma once

#include <windows.h>

#include <string>

#include "ui/screenshot_image.h"

// What the display shows in the screen rectangle `r`, as the user sees it: from the X server
// (imagemagick's import of the root window) when the program runs under Wine, where a program
// cannot read the screen's other windows, else from the screen's own DC. False with `error` set
// when there is no such picture.
bool screen_image(const RECT& r, captured_image& image, std::string& error);

// Writes the image as a BMP file (for a look at a failure).
bool save_image(const captured_image& image, const std::wstring& path);
