#pragma once

#include <string>
#include <vector>

// folvi-cli --smart KIND:FILE...: reads raw blocks saved from a drive and prints what the storage
// dump would show for that drive, without the drive.

// The arguments ask for it: the first one is --smart.
bool is_smart_command(const std::vector<std::wstring>& args);

// The text for the blocks the arguments name, or false and a one-line reason in `error`. A block
// that is shown although it looks odd gets a line in `notes`.
bool smart_command_text(const std::vector<std::wstring>& args, std::string& text, std::vector<std::string>& notes,
                        std::string& error);

// Prints the text, or the reason, and the notes on standard error; the exit code: 0, or 2 for bad
// arguments or files.
int run_smart_command(const std::vector<std::wstring>& args);
