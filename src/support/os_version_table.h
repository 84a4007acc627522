#pragma once

#include <cstdint>

// Windows releases by major * 10 + minor; 52 (2003 / 2003 R2) and above 100 are decided in code.
struct os_version_row {
  uint32_t v;
  int workstation_index;
  int server_index;
};

inline constexpr os_version_row os_version_rows[] = {
    //  v   workstation  server
    {50, 0, 0},     // Windows 2000: not supported
    {51, 1, 1},     // XP
    {60, 4, 5},     // Vista / 2008
    {61, 7, 6},     // 7 / 2008 R2
    {62, 9, 8},     // 8 / 2012
    {63, 11, 10},   // 8.1 / 2012 R2
    {100, 12, 13},  // 10 and 11 / 2016 and later
};

inline constexpr int os_name_count = 15;
inline constexpr const char* os_names[os_name_count] = {
    "Unknown",          // 0
    "Windows XP",       // 1
    "Windows 2003",     // 2
    "Windows 2003 R2",  // 3
    "Windows Vista",    // 4
    "Windows 2008",     // 5
    "Windows 2008 R2",  // 6
    "Windows 7",        // 7
    "Windows 2012",     // 8
    "Windows 8",        // 9
    "Windows 2012 R2",  // 10
    "Windows 8.1",      // 11
    "Windows 10",       // 12
    "Windows 2016",     // 13
    "Windows 10+",      // 14
};
