#pragma once

#include <string>
#include <vector>

// Splits one script line into words: blanks separate; "double quotes" keep blanks together and
// understand \" \\ \n \r \t inside; 'single quotes' keep everything as it stands (for Windows
// paths). A line whose first word starts with # is a comment (no words).
// On failure `error` says what is wrong with the line.
bool split_words(const std::string& line, std::vector<std::string>& words, std::string& error);

// A text on one output line: backslash, CR, LF and tab written as \\ \r \n \t.
std::string escaped(const std::string& text);
