#pragma once

#include <string>

// The Volume summary line with the serial number's eight digits around the first dash after the
// "  ·  " separator (or anywhere without one) replaced by X; unchanged when there is no such
// dash with four characters on each side.
std::wstring mask_volume_serial(const std::wstring& line);

// The window title while a screenshot is taken: the title, " / " and the short version.
std::wstring screenshot_title(const std::wstring& title, const std::string& short_version);
