#pragma once

#include <string>

// "\\?\" form for drive paths, "\\?\UNC\" for shares; other paths unchanged.
std::wstring long_path(const std::wstring& path);
