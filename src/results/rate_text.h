#pragma once

#include <cstdint>
#include <string>

// Rates are kept in bytes per second and shown as MBps both ways.
double binary_mbps(double rate);   // 1K = 1024
double decimal_mbps(double rate);  // 1K = 1000

// The seven-character mode name of a test's open flags: "buf    ", "raw seq", ...
std::string mode_label(uint32_t open_flags);
std::wstring mode_label_w(uint32_t open_flags);
