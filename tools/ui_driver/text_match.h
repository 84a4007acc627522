#pragma once

#include <string>

// Whole-text match where * stands for any run of characters and ? for one (UTF-8) character.
bool text_matches(const std::string& pattern, const std::string& text);
